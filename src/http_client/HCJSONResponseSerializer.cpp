#include "http_client/HCJSONResponseSerializer.h"

#include "http_client/HCResponseSerializationErrors.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/net/HTTPURLResponse.h"

namespace http_client {

namespace {

constexpr char kRemovesNullsCodingKey[] = "removesKeysWithNullValues";
constexpr char kFailureReasonKey[] = "NSLocalizedFailureReason";

ns::Value valueWithoutNullKeys(const ns::Value& value) {
  if (value.isArray()) {
    ns::Array elements;
    for (const ns::Value& element : value.asArray()) {
      elements.push_back(valueWithoutNullKeys(element));
    }
    return elements;
  }
  if (value.isDictionary()) {
    ns::Dictionary entries;
    for (const auto& [key, entry] : value.asDictionary()) {
      if (!entry.isNull()) {
        entries.emplace(key, valueWithoutNullKeys(entry));
      }
    }
    return entries;
  }
  return value;
}

ns::StringEncoding bodyEncoding(const ns::URLResponse* response, const ns::StringEncoding& fallback) {
  if (response != nullptr && response->textEncodingName()) {
    return ns::StringEncoding::fromIANACharsetName(*response->textEncodingName()).value_or(fallback);
  }
  return fallback;
}

// The body could not be read as text. Its ASCII bytes go into the reason (others as "?"), so that the reply
// can still be looked at.
ns::Error undecodableTextError(const ns::Data& data) {
  std::string lossyText;
  for (const std::uint8_t byte : data) {
    lossyText += byte < 0x80 ? static_cast<char>(byte) : '?';
  }
  return ns::Error(
      std::string(kHCURLResponseSerializationErrorDomain), kHCResponseErrorCannotDecodeContentData,
      ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey), "Data failed decoding as a UTF-8 string"},
                     {kFailureReasonKey, "Could not decode string: " + lossyText}});
}

}  // namespace

std::shared_ptr<HCJSONResponseSerializer> HCJSONResponseSerializer::serializer() {
  return std::make_shared<HCJSONResponseSerializer>();
}

HCJSONResponseSerializer::HCJSONResponseSerializer() {
  setAcceptableContentTypes(
      std::set<std::string>{"application/json", "text/json", "text/javascript", "text/html", "text/plain"});
}

HCJSONResponseSerializer::HCJSONResponseSerializer(const ns::Dictionary& coder)
    : HCHTTPResponseSerializer(coder) {
  if (const auto removes = coder.find(kRemovesNullsCodingKey); removes != coder.end()) {
    removesKeysWithNullValues_ = removes->second.boolValue();
  }
}

void HCJSONResponseSerializer::encodeWithCoder(ns::Dictionary& coder) const {
  HCHTTPResponseSerializer::encodeWithCoder(coder);
  coder[kRemovesNullsCodingKey] = removesKeysWithNullValues_;
}

std::shared_ptr<HCHTTPResponseSerializer> HCJSONResponseSerializer::copy() const {
  auto serializer = std::make_shared<HCJSONResponseSerializer>();
  serializer->removesKeysWithNullValues_ = removesKeysWithNullValues_;
  return serializer;
}

HCSerializedResponse HCJSONResponseSerializer::responseObjectForResponse(
    const std::shared_ptr<const ns::URLResponse>& response, const std::optional<ns::Data>& data) const {
  HCResponseValidation validation = validateResponse(response, data);
  if (validation.refusesContentType()) {
    return {std::nullopt, std::move(validation.error)};
  }
  const ns::Data body = data.value_or(ns::Data());
  const std::optional<std::string> text = bodyEncoding(response.get(), stringEncoding()).decode(body);
  // A reply whose status code was refused is reported by that error alone when its body holds nothing to
  // parse. Any other reply goes on to the reader, which refuses an empty or blank body.
  if (validation.error && (!text || text->empty() || *text == " ")) {
    return {std::nullopt, std::move(validation.error)};
  }
  if (!text) {
    return {std::nullopt, undecodableTextError(body)};
  }
  HCSerializedResponse result;
  ns::Result<ns::Value> parsed = ns::JSONSerialization::JSONObjectWithData(*text);
  std::optional<ns::Error> parseError;
  if (parsed) {
    result.responseObject = removesKeysWithNullValues_ ? valueWithoutNullKeys(*parsed) : std::move(*parsed);
  } else {
    parseError = parsed.error();
  }
  result.error = HCErrorWithUnderlyingError(std::move(parseError), std::move(validation.error));
  return result;
}

}  // namespace http_client
