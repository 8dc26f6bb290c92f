#include "http_client/HCCompoundResponseSerializer.h"

#include "http_client/HCResponseSerializationErrors.h"
#include "http_client/HCSerializerCoding.h"

namespace http_client {

namespace {

constexpr char kSerializersCodingKey[] = "responseSerializers";

}  // namespace

std::shared_ptr<HCCompoundResponseSerializer>
HCCompoundResponseSerializer::compoundSerializerWithResponseSerializers(Serializers responseSerializers) {
  auto serializer = std::make_shared<HCCompoundResponseSerializer>();
  serializer->responseSerializers_ = std::move(responseSerializers);
  return serializer;
}

HCCompoundResponseSerializer::HCCompoundResponseSerializer(const ns::Dictionary& coder)
    : HCHTTPResponseSerializer(coder) {
  const auto found = coder.find(kSerializersCodingKey);
  if (found == coder.end() || !found->second.isArray()) {
    return;
  }
  for (const ns::Value& member : found->second.asArray()) {
    responseSerializers_.push_back(HCDecodeResponseSerializer(member));
  }
}

void HCCompoundResponseSerializer::encodeWithCoder(ns::Dictionary& coder) const {
  HCHTTPResponseSerializer::encodeWithCoder(coder);
  ns::Array members;
  for (const std::shared_ptr<HCHTTPResponseSerializer>& member : responseSerializers_) {
    if (member) {
      members.emplace_back(HCEncodeResponseSerializer(*member));
    }
  }
  coder[kSerializersCodingKey] = std::move(members);
}

std::shared_ptr<HCHTTPResponseSerializer> HCCompoundResponseSerializer::copy() const {
  return compoundSerializerWithResponseSerializers(responseSerializers_);
}

HCSerializedResponse HCCompoundResponseSerializer::responseObjectForResponse(
    const std::shared_ptr<const ns::URLResponse>& response, const std::optional<ns::Data>& data) const {
  std::optional<ns::Error> lastError;
  for (const std::shared_ptr<HCHTTPResponseSerializer>& member : responseSerializers_) {
    if (!member) {
      continue;
    }
    HCSerializedResponse answer = member->responseObjectForResponse(response, data);
    if (answer.hasObject()) {
      return answer;
    }
    if (answer.error) {
      lastError = std::move(answer.error);
    }
  }
  HCSerializedResponse fallback = HCHTTPResponseSerializer::responseObjectForResponse(response, data);
  fallback.error = HCErrorWithUnderlyingError(std::move(lastError), std::move(fallback.error));
  return fallback;
}

}  // namespace http_client
