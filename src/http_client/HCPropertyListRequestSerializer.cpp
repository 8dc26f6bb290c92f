#include "http_client/HCPropertyListRequestSerializer.h"

#include "http_client/HCSerializerCodingKeys.h"
#include "platform/foundation/formats/PropertyListSerialization.h"

namespace http_client {

namespace {

constexpr char kFormatCodingKey[] = "format";
constexpr char kWriteOptionsCodingKey[] = "writeOptions";

ns::Result<ns::Data> propertyListData(const ns::Dictionary& parameters, HCPropertyListFormat format) {
  switch (format) {
    case HCPropertyListFormat::kXML:
      return ns::PropertyListSerialization::dataWithPropertyList(ns::Value(parameters),
                                                                 ns::PropertyListFormat::kXml);
    case HCPropertyListFormat::kBinary:
      return ns::PropertyListSerialization::dataWithPropertyList(ns::Value(parameters),
                                                                 ns::PropertyListFormat::kBinary);
    case HCPropertyListFormat::kOpenStep:
      break;
  }
  return ns::Error(std::string(ns::kCocoaErrorDomain), ns::kPropertyListWriteInvalidError,
                   ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey),
                                   "Property lists cannot be written in format " +
                                       std::to_string(static_cast<unsigned>(format))}});
}

}  // namespace

std::shared_ptr<HCPropertyListRequestSerializer> HCPropertyListRequestSerializer::serializer() {
  return serializerWithFormat(HCPropertyListFormat::kXML, 0);
}

std::shared_ptr<HCPropertyListRequestSerializer> HCPropertyListRequestSerializer::serializerWithFormat(
    HCPropertyListFormat format, unsigned writeOptions) {
  auto serializer = std::make_shared<HCPropertyListRequestSerializer>();
  serializer->setFormat(format);
  serializer->setWriteOptions(writeOptions);
  return serializer;
}

HCPropertyListRequestSerializer::HCPropertyListRequestSerializer(const ns::Dictionary& coder)
    : HCHTTPRequestSerializer(coder),
      format_(static_cast<HCPropertyListFormat>(
          HCDecodedUnsigned(coder, kFormatCodingKey)
              .value_or(static_cast<unsigned>(HCPropertyListFormat::kXML)))),
      writeOptions_(HCDecodedUnsigned(coder, kWriteOptionsCodingKey).value_or(0)) {}

void HCPropertyListRequestSerializer::encodeWithCoder(ns::Dictionary& coder) const {
  HCHTTPRequestSerializer::encodeWithCoder(coder);
  coder[kFormatCodingKey] = static_cast<std::int64_t>(format_);
  coder[kWriteOptionsCodingKey] = static_cast<std::int64_t>(writeOptions_);
}

std::shared_ptr<HCHTTPRequestSerializer> HCPropertyListRequestSerializer::copy() const {
  auto serializer = std::make_shared<HCPropertyListRequestSerializer>();
  copyDefaultsInto(*serializer);
  serializer->format_ = format_;
  serializer->writeOptions_ = writeOptions_;
  return serializer;
}

ns::Result<ns::URLRequest> HCPropertyListRequestSerializer::requestBySerializingRequest(
    const ns::URLRequest& request, const std::optional<ns::Dictionary>& parameters) const {
  return requestWithWrittenBody(
      request, parameters, "application/x-plist",
      [this](const ns::Dictionary& values) { return propertyListData(values, format_); });
}

}  // namespace http_client
