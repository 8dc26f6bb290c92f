#include "http_client/HCJSONResponseSerializer.h"

#include "http_client/HCResponseSerializationErrors.h"
#include "http_client/HCSerializerCodingKeys.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/net/HTTPURLResponse.h"

namespace http_client {

namespace {

constexpr char kReadingOptionsCodingKey[] = "readingOptions";
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
  return serializerWithReadingOptions(0);
}

std::shared_ptr<HCJSONResponseSerializer> HCJSONResponseSerializer::serializerWithReadingOptions(
    unsigned readingOptions) {
  auto serializer = std::make_shared<HCJSONResponseSerializer>();
  serializer->readingOptions_ = readingOptions;
  return serializer;
}

HCJSONResponseSerializer::HCJSONResponseSerializer() {
  setAcceptableContentTypes(
      std::set<std::string>{"application/json", "text/json", "text/javascript", "text/html", "text/plain"});
}

HCJSONResponseSerializer::HCJSONResponseSerializer(const ns::Dictionary& coder)
    : HCHTTPResponseSerializer(coder),
      readingOptions_(HCDecodedUnsigned(coder, kReadingOptionsCodingKey).value_or(0)) {
  if (const auto removes = coder.find(kRemovesNullsCodingKey); removes != coder.end()) {
    removesKeysWithNullValues_ = removes->second.boolValue();
  }
}

void HCJSONResponseSerializer::encodeWithCoder(ns::Dictionary& coder) const {
  HCHTTPResponseSerializer::encodeWithCoder(coder);
  coder[kReadingOptionsCodingKey] = static_cast<std::int64_t>(readingOptions_);
  coder[kRemovesNullsCodingKey] = removesKeysWithNullValues_;
}

std::shared_ptr<HCHTTPResponseSerializer> HCJSONResponseSerializer::copy() const {
  auto serializer = serializerWithReadingOptions(readingOptions_);
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
  // A body that is not text is an error of its own unless the status code was refused already.
  if (!text) {
    return {std::nullopt, validation.error ? std::move(validation.error) : undecodableTextError(body)};
  }
  // No body, or the single space that some servers send for none, holds nothing to parse: only the checks'
  // error, if any, is reported (a HEAD reply or a 204 succeeds).
  if (text->empty() || *text == " ") {
    return {std::nullopt, std::move(validation.error)};
  }
  HCSerializedResponse result;
  ns::Result<ns::Value> parsed = ns::JSONSerialization::JSONObjectWithData(*text, readingOptions_);
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
