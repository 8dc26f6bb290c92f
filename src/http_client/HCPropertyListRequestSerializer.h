#pragma once

// HCPropertyListRequestSerializer: an HCHTTPRequestSerializer that sends parameters as a property-list body
// ("Content-Type: application/x-plist" unless the request has one), XML by default. GET, HEAD and DELETE
// still put them into the URL's query, form-encoded.
//
// Thread-safety: as HCHTTPRequestSerializer.

#include <memory>

#include "http_client/HCHTTPRequestSerializer.h"
#include "http_client/HCPropertyListFormat.h"

namespace http_client {

class HCPropertyListRequestSerializer : public HCHTTPRequestSerializer {
 public:
  // Returns a serializer writing XML with options 0.
  static std::shared_ptr<HCPropertyListRequestSerializer> serializer();
  static std::shared_ptr<HCPropertyListRequestSerializer> serializerWithFormat(HCPropertyListFormat format,
                                                                               unsigned writeOptions);

  HCPropertyListRequestSerializer() = default;
  // As the base class, then "format" and "writeOptions" (XML and 0 when absent).
  explicit HCPropertyListRequestSerializer(const ns::Dictionary& coder);

  // The base class's keys, "format" and "writeOptions".
  void encodeWithCoder(ns::Dictionary& coder) const override;
  // The base class's copy, as a property-list serializer with the same format and options.
  std::shared_ptr<HCHTTPRequestSerializer> copy() const override;

  HCPropertyListFormat format() const { return format_; }
  void setFormat(HCPropertyListFormat format) { format_ = format; }
  // The platform's write options (none are defined); kept for callers and archives.
  unsigned writeOptions() const { return writeOptions_; }
  void setWriteOptions(unsigned options) { writeOptions_ = options; }

  // Returns the request with the parameters as a property list in format(), or the writer's error (3852)
  // for parameters a property list cannot hold (a null) or a format it cannot write (OpenStep).
  ns::Result<ns::URLRequest> requestBySerializingRequest(
      const ns::URLRequest& request, const std::optional<ns::Dictionary>& parameters) const override;

 private:
  HCPropertyListFormat format_ = HCPropertyListFormat::kXML;
  unsigned writeOptions_ = 0;
};

}  // namespace http_client
