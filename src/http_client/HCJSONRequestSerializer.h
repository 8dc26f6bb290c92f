#pragma once

// HCJSONRequestSerializer: an HCHTTPRequestSerializer that sends parameters as a JSON body
// ("Content-Type: application/json" unless the request has one). GET, HEAD and DELETE still put them into
// the URL's query, form-encoded.
//
// Thread-safety: as HCHTTPRequestSerializer.

#include <memory>

#include "http_client/HCHTTPRequestSerializer.h"

namespace http_client {

class HCJSONRequestSerializer : public HCHTTPRequestSerializer {
 public:
  // Returns a serializer with writing options 0.
  static std::shared_ptr<HCJSONRequestSerializer> serializer();
  static std::shared_ptr<HCJSONRequestSerializer> serializerWithWritingOptions(unsigned writingOptions);

  HCJSONRequestSerializer() = default;
  // As the base class, then "writingOptions" (0 when absent).
  explicit HCJSONRequestSerializer(const ns::Dictionary& coder);

  // The base class's keys and "writingOptions".
  void encodeWithCoder(ns::Dictionary& coder) const override;
  // The base class's copy, as a JSON serializer with the same writing options.
  std::shared_ptr<HCHTTPRequestSerializer> copy() const override;

  // The platform JSON writer's options (platform/foundation/formats/JSONSerialization.h): with
  // ns::kJSONWritingPrettyPrinted the body is pretty-printed, else compact.
  unsigned writingOptions() const { return writingOptions_; }
  void setWritingOptions(unsigned options) { writingOptions_ = options; }

  // Returns the request with the parameters as a JSON body written with the writing options, or the
  // writer's error (3852) for parameters JSON cannot hold (data, dates).
  ns::Result<ns::URLRequest> requestBySerializingRequest(
      const ns::URLRequest& request, const std::optional<ns::Dictionary>& parameters) const override;

 private:
  unsigned writingOptions_ = 0;
};

}  // namespace http_client
