#pragma once

// HCMultipartFormData: what a multipart request's construction block gets to add parts to the body: form
// fields, file data, files and streams, or parts with headers of the caller's own. Names and file names are
// escaped in the part headers ('"' as %22, CR as %0D, LF as %0A), so no name can end its header line.
// Thread-safety: as the object that implements it (HCStreamingMultipartFormData).

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/HTTPHeaderFields.h"
#include "platform/net/InputStream.h"
#include "platform/net/URL.h"

namespace http_client {

class HCMultipartFormData {
 public:
  virtual ~HCMultipartFormData() = default;

  // Appends the file at `fileURL` as a file part named `name`, with the URL's last path component as file
  // name and the MIME type its extension names ("application/octet-stream" when none). Returns the error of
  // appendPartWithFileURL() below.
  virtual ns::Status appendPartWithFileURL(const ns::URL& fileURL, std::string_view name) = 0;
  // Appends the file at `fileURL` as a file part. The file is read only while the body is sent. Returns an
  // error (kHCURLRequestSerializationErrorDomain, kHCRequestErrorBadURL) when `fileURL` is not a file URL or
  // names nothing that exists, or the system's error when the file's size cannot be read; nothing is
  // appended then.
  virtual ns::Status appendPartWithFileURL(const ns::URL& fileURL, std::string_view name,
                                           std::string_view fileName, std::string_view mimeType) = 0;
  // Appends a file part whose body is read from `inputStream` while the body is sent; `length` is the
  // number of bytes the stream holds, and a stream that holds fewer or more fails the body.
  virtual void appendPartWithInputStream(std::shared_ptr<ns::InputStream> inputStream, std::string_view name,
                                         std::string_view fileName, std::uint64_t length,
                                         std::string_view mimeType) = 0;
  // Appends a file part whose body is `data`.
  virtual void appendPartWithFileData(ns::Data data, std::string_view name, std::string_view fileName,
                                      std::string_view mimeType) = 0;
  // Appends a form field named `name` whose value is `data`.
  virtual void appendPartWithFormData(ns::Data data, std::string_view name) = 0;
  // Appends a part with exactly `headers` and `body`.
  virtual void appendPartWithHeaders(ns::HTTPHeaderFields headers, ns::Data body) = 0;
  // Makes each read of the body stop once `numberOfBytes` were delivered, and sleep `delay` seconds after
  // each part's read.
  virtual void throttleBandwidthWithPacketSize(std::uint64_t numberOfBytes, double delay) = 0;
};

}  // namespace http_client
