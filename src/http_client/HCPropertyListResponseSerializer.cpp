#include "http_client/HCPropertyListResponseSerializer.h"

#include "http_client/HCResponseSerializationErrors.h"
#include "http_client/HCSerializerCodingKeys.h"
#include "platform/foundation/formats/PropertyListSerialization.h"

namespace http_client {

namespace {

constexpr char kFormatCodingKey[] = "format";
constexpr char kReadOptionsCodingKey[] = "readOptions";

}  // namespace

std::shared_ptr<HCPropertyListResponseSerializer> HCPropertyListResponseSerializer::serializer() {
  return serializerWithFormat(HCPropertyListFormat::kXML, 0);
}

std::shared_ptr<HCPropertyListResponseSerializer> HCPropertyListResponseSerializer::serializerWithFormat(
    HCPropertyListFormat format, unsigned readOptions) {
  auto serializer = std::make_shared<HCPropertyListResponseSerializer>();
  serializer->setFormat(format);
  serializer->setReadOptions(readOptions);
  return serializer;
}

HCPropertyListResponseSerializer::HCPropertyListResponseSerializer() {
  setAcceptableContentTypes(std::set<std::string>{"application/x-plist"});
}

HCPropertyListResponseSerializer::HCPropertyListResponseSerializer(const ns::Dictionary& coder)
    : HCHTTPResponseSerializer(coder),
      format_(static_cast<HCPropertyListFormat>(
          HCDecodedUnsigned(coder, kFormatCodingKey)
              .value_or(static_cast<unsigned>(HCPropertyListFormat::kXML)))),
      readOptions_(HCDecodedUnsigned(coder, kReadOptionsCodingKey).value_or(0)) {}

void HCPropertyListResponseSerializer::encodeWithCoder(ns::Dictionary& coder) const {
  HCHTTPResponseSerializer::encodeWithCoder(coder);
  coder[kFormatCodingKey] = static_cast<std::int64_t>(format_);
  coder[kReadOptionsCodingKey] = static_cast<std::int64_t>(readOptions_);
}

std::shared_ptr<HCHTTPResponseSerializer> HCPropertyListResponseSerializer::copy() const {
  return serializerWithFormat(format_, readOptions_);
}

HCSerializedResponse HCPropertyListResponseSerializer::responseObjectForResponse(
    const std::shared_ptr<const ns::URLResponse>& response, const std::optional<ns::Data>& data) const {
  HCResponseValidation validation = validateResponse(response, data);
  HCSerializedResponse result;
  if (validation.refusesContentType() || !data) {
    result.error = std::move(validation.error);
    return result;
  }
  ns::Result<ns::Value> propertyList = ns::PropertyListSerialization::propertyListWithData(*data);
  if (propertyList) {
    result.responseObject = std::move(*propertyList);
    result.error = std::move(validation.error);
  } else {
    result.error = HCErrorWithUnderlyingError(propertyList.error(), std::move(validation.error));
  }
  return result;
}

}  // namespace http_client
