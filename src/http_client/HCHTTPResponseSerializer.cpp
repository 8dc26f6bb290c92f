#include "http_client/HCHTTPResponseSerializer.h"

#include "http_client/HCResponseSerializationErrors.h"
#include "platform/net/HTTPURLResponse.h"

namespace http_client {

namespace {

constexpr char kStatusCodesCodingKey[] = "acceptableStatusCodes";
constexpr char kContentTypesCodingKey[] = "acceptableContentTypes";

std::set<int> successfulStatusCodes() {
  std::set<int> codes;
  for (int code = 200; code < 300; ++code) {
    codes.insert(code);
  }
  return codes;
}

template <typename Element, typename Read>
std::optional<std::set<Element>> decodedSet(const ns::Dictionary& coder, const char* key, Read read) {
  const auto found = coder.find(key);
  if (found == coder.end() || !found->second.isArray()) {
    return std::nullopt;
  }
  std::set<Element> elements;
  for (const ns::Value& element : found->second.asArray()) {
    if (std::optional<Element> value = read(element)) {
      elements.insert(std::move(*value));
    }
  }
  return elements;
}

template <typename Element>
void encodeSet(ns::Dictionary& coder, const char* key, const std::optional<std::set<Element>>& elements) {
  if (!elements) {
    return;
  }
  ns::Array array;
  for (const Element& element : *elements) {
    array.emplace_back(element);
  }
  coder[key] = std::move(array);
}

}  // namespace

bool HCResponseValidation::refusesContentType() const {
  return !valid && error &&
         HCErrorOrUnderlyingErrorHasCodeInDomain(*error, kHCResponseErrorCannotDecodeContentData,
                                                 kHCURLResponseSerializationErrorDomain);
}

std::shared_ptr<HCHTTPResponseSerializer> HCHTTPResponseSerializer::serializer() {
  return std::make_shared<HCHTTPResponseSerializer>();
}

HCHTTPResponseSerializer::HCHTTPResponseSerializer() : acceptableStatusCodes_(successfulStatusCodes()) {}

HCHTTPResponseSerializer::HCHTTPResponseSerializer(const ns::Dictionary& coder) {
  acceptableStatusCodes_ = decodedSet<int>(coder, kStatusCodesCodingKey, [](const ns::Value& value) {
    return value.isInteger() ? std::optional<int>(static_cast<int>(value.asInteger())) : std::nullopt;
  });
  acceptableContentTypes_ =
      decodedSet<std::string>(coder, kContentTypesCodingKey, [](const ns::Value& value) {
        return value.isString() ? std::optional<std::string>(value.asString()) : std::nullopt;
      });
}

void HCHTTPResponseSerializer::encodeWithCoder(ns::Dictionary& coder) const {
  encodeSet(coder, kStatusCodesCodingKey, acceptableStatusCodes_);
  encodeSet(coder, kContentTypesCodingKey, acceptableContentTypes_);
}

std::shared_ptr<HCHTTPResponseSerializer> HCHTTPResponseSerializer::copy() const {
  auto serializer = std::make_shared<HCHTTPResponseSerializer>();
  copyAcceptableSetsInto(*serializer);
  return serializer;
}

void HCHTTPResponseSerializer::copyAcceptableSetsInto(HCHTTPResponseSerializer& target) const {
  target.acceptableStatusCodes_ = acceptableStatusCodes_;
  target.acceptableContentTypes_ = acceptableContentTypes_;
}

HCResponseValidation HCHTTPResponseSerializer::validateResponse(
    const std::shared_ptr<const ns::URLResponse>& response, const std::optional<ns::Data>& data) const {
  const auto httpResponse = std::dynamic_pointer_cast<const ns::HTTPURLResponse>(response);
  if (!httpResponse) {
    return {};
  }
  HCResponseValidation validation;
  const std::optional<std::string>& mimeType = httpResponse->MIMEType();
  if (acceptableContentTypes_ && !(mimeType && acceptableContentTypes_->contains(*mimeType))) {
    validation.valid = false;
    if (data && !data->empty()) {
      validation.error = HCResponseSerializationError(
          kHCResponseErrorCannotDecodeContentData,
          "Request failed: unacceptable content-type: " + mimeType.value_or("(null)"), *httpResponse, data);
    }
  }
  const int statusCode = httpResponse->statusCode();
  if (acceptableStatusCodes_ && !acceptableStatusCodes_->contains(statusCode)) {
    validation.valid = false;
    validation.error = HCErrorWithUnderlyingError(
        HCResponseSerializationError(
            kHCResponseErrorBadServerResponse,
            "Request failed: " + ns::HTTPURLResponse::localizedStringForStatusCode(statusCode) + " (" +
                std::to_string(statusCode) + ")",
            *httpResponse, data),
        validation.error);
  }
  return validation;
}

HCSerializedResponse HCHTTPResponseSerializer::responseObjectForResponse(
    const std::shared_ptr<const ns::URLResponse>& response, const std::optional<ns::Data>& data) const {
  HCSerializedResponse result;
  result.error = validateResponse(response, data).error;
  if (data) {
    result.responseObject = ns::Value(*data);
  }
  return result;
}

}  // namespace http_client
