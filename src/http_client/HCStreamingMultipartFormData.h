#pragma once

// HCStreamingMultipartFormData: builds a "multipart/form-data" body that is streamed, not held in memory. The
// parts a caller appends go into an HCMultipartBodyStream; requestByFinalizingMultipartFormData() sets that
// stream as the request's body with the matching "Content-Type" and "Content-Length".
//
// The boundary is "Boundary+" and 16 upper-case hexadecimal digits from two random 32-bit numbers.
//
// Thread-safety: one thread at a time; the finished request's body is then read on the loading thread.

#include <memory>
#include <string>

#include "http_client/HCMultipartBodyStream.h"
#include "http_client/HCMultipartFormData.h"
#include "platform/foundation/check/OneThreadAtATimeChecker.h"
#include "platform/foundation/text/StringEncoding.h"
#include "platform/net/URLRequest.h"

namespace http_client {

class HCStreamingMultipartFormData : public HCMultipartFormData {
 public:
  // A body for a copy of `request`, its boundaries and part headers written in `stringEncoding`.
  HCStreamingMultipartFormData(ns::URLRequest request, ns::StringEncoding stringEncoding);

  const ns::URLRequest& request() const { return request_; }
  const ns::StringEncoding& stringEncoding() const { return stringEncoding_; }
  const std::string& boundary() const { return boundary_; }
  const std::shared_ptr<HCMultipartBodyStream>& bodyStream() const { return bodyStream_; }

  // HCMultipartFormData.
  ns::Status appendPartWithFileURL(const ns::URL& fileURL, std::string_view name) override;
  ns::Status appendPartWithFileURL(const ns::URL& fileURL, std::string_view name, std::string_view fileName,
                                   std::string_view mimeType) override;
  void appendPartWithInputStream(std::shared_ptr<ns::InputStream> inputStream, std::string_view name,
                                 std::string_view fileName, std::uint64_t length,
                                 std::string_view mimeType) override;
  void appendPartWithFileData(ns::Data data, std::string_view name, std::string_view fileName,
                              std::string_view mimeType) override;
  void appendPartWithFormData(ns::Data data, std::string_view name) override;
  void appendPartWithHeaders(ns::HTTPHeaderFields headers, ns::Data body) override;
  void throttleBandwidthWithPacketSize(std::uint64_t numberOfBytes, double delay) override;

  // Returns the request with the body stream, "Content-Type" ("multipart/form-data; boundary=...") and
  // "Content-Length" set, replacing earlier values; without parts, the request unchanged.
  ns::URLRequest requestByFinalizingMultipartFormData();

 private:
  void appendPart(ns::HTTPHeaderFields headers, HCHTTPBodyPart::Body body, std::uint64_t bodyContentLength);

  ns::URLRequest request_;
  const ns::StringEncoding stringEncoding_;
  const std::string boundary_;
  const std::shared_ptr<HCMultipartBodyStream> bodyStream_;
  ns::OneThreadAtATimeChecker useChecker_;
};

}  // namespace http_client
