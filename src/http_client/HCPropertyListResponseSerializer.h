#pragma once

// HCPropertyListResponseSerializer: checks a response as HCHTTPResponseSerializer does and reads its body as
// a property list, XML or binary, whatever format() says. It accepts "application/x-plist".
//
// Thread-safety: as HCHTTPResponseSerializer.

#include <memory>

#include "http_client/HCHTTPResponseSerializer.h"
#include "http_client/HCPropertyListFormat.h"

namespace http_client {

class HCPropertyListResponseSerializer : public HCHTTPResponseSerializer {
 public:
  // Returns a serializer with format XML and options 0.
  static std::shared_ptr<HCPropertyListResponseSerializer> serializer();
  static std::shared_ptr<HCPropertyListResponseSerializer> serializerWithFormat(HCPropertyListFormat format,
                                                                                unsigned readOptions);

  // The base defaults and "application/x-plist".
  HCPropertyListResponseSerializer();
  // As the base class, then "format" and "readOptions" (XML and 0 when absent).
  explicit HCPropertyListResponseSerializer(const ns::Dictionary& coder);

  // The base class's keys, "format" and "readOptions".
  void encodeWithCoder(ns::Dictionary& coder) const override;
  // A serializer with the constructor's defaults and this one's format and read options; acceptable sets
  // changed here are not carried over.
  std::shared_ptr<HCHTTPResponseSerializer> copy() const override;

  // Kept for callers and archives: reading takes any format, and the platform's read options change nothing
  // in the values read.
  HCPropertyListFormat format() const { return format_; }
  void setFormat(HCPropertyListFormat format) { format_ = format; }
  unsigned readOptions() const { return readOptions_; }
  void setReadOptions(unsigned options) { readOptions_ = options; }

  // Returns the property list with the error of the checks; a body that is not a property list gives the
  // reader's error (3840) with the checks' error beneath. Returns nothing for an unacceptable content type
  // with a body (error -1016) or for no body.
  HCSerializedResponse responseObjectForResponse(const std::shared_ptr<const ns::URLResponse>& response,
                                                 const std::optional<ns::Data>& data) const override;

 private:
  HCPropertyListFormat format_ = HCPropertyListFormat::kXML;
  unsigned readOptions_ = 0;
};

}  // namespace http_client
