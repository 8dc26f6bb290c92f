#include "http_client/HCXMLParserResponseSerializer.h"

#include "platform/foundation/formats/XMLParser.h"

namespace http_client {

std::shared_ptr<HCXMLParserResponseSerializer> HCXMLParserResponseSerializer::serializer() {
  return std::make_shared<HCXMLParserResponseSerializer>();
}

HCXMLParserResponseSerializer::HCXMLParserResponseSerializer() {
  setAcceptableContentTypes(std::set<std::string>{"application/xml", "text/xml"});
}

std::shared_ptr<HCHTTPResponseSerializer> HCXMLParserResponseSerializer::copy() const {
  auto serializer = std::make_shared<HCXMLParserResponseSerializer>();
  copyAcceptableSetsInto(*serializer);
  return serializer;
}

HCSerializedResponse HCXMLParserResponseSerializer::responseObjectForResponse(
    const std::shared_ptr<const ns::URLResponse>& response, const std::optional<ns::Data>& data) const {
  HCResponseValidation validation = validateResponse(response, data);
  HCSerializedResponse result;
  if (!validation.refusesContentType() && data) {
    result.responseReferenceObject = std::make_shared<ns::XMLParser>(*data);
  }
  result.error = std::move(validation.error);
  return result;
}

}  // namespace http_client
