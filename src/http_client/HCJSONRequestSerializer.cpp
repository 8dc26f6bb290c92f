#include "http_client/HCJSONRequestSerializer.h"

#include "http_client/HCSerializerCodingKeys.h"
#include "platform/foundation/formats/JSONSerialization.h"

namespace http_client {

namespace {

constexpr char kWritingOptionsCodingKey[] = "writingOptions";

}  // namespace

std::shared_ptr<HCJSONRequestSerializer> HCJSONRequestSerializer::serializer() {
  return serializerWithWritingOptions(0);
}

std::shared_ptr<HCJSONRequestSerializer> HCJSONRequestSerializer::serializerWithWritingOptions(
    unsigned writingOptions) {
  auto serializer = std::make_shared<HCJSONRequestSerializer>();
  serializer->setWritingOptions(writingOptions);
  return serializer;
}

HCJSONRequestSerializer::HCJSONRequestSerializer(const ns::Dictionary& coder)
    : HCHTTPRequestSerializer(coder),
      writingOptions_(HCDecodedUnsigned(coder, kWritingOptionsCodingKey).value_or(0)) {}

void HCJSONRequestSerializer::encodeWithCoder(ns::Dictionary& coder) const {
  HCHTTPRequestSerializer::encodeWithCoder(coder);
  coder[kWritingOptionsCodingKey] = static_cast<std::int64_t>(writingOptions_);
}

std::shared_ptr<HCHTTPRequestSerializer> HCJSONRequestSerializer::copy() const {
  auto serializer = std::make_shared<HCJSONRequestSerializer>();
  copyDefaultsInto(*serializer);
  serializer->writingOptions_ = writingOptions_;
  return serializer;
}

ns::Result<ns::URLRequest> HCJSONRequestSerializer::requestBySerializingRequest(
    const ns::URLRequest& request, const std::optional<ns::Dictionary>& parameters) const {
  return requestWithWrittenBody(
      request, parameters, "application/json", [this](const ns::Dictionary& values) {
        return ns::JSONSerialization::dataWithJSONObject(ns::Value(values), writingOptions_);
      });
}

}  // namespace http_client
