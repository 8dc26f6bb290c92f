#pragma once

// HCXMLParserResponseSerializer: checks a response as HCHTTPResponseSerializer does and hands back an XML
// parser (ns::XMLParser, in HCSerializedResponse::responseReferenceObject) over the body, not yet started.
// It accepts "application/xml" and "text/xml".
//
// Thread-safety: as HCHTTPResponseSerializer.

#include <memory>

#include "http_client/HCHTTPResponseSerializer.h"

namespace http_client {

class HCXMLParserResponseSerializer : public HCHTTPResponseSerializer {
 public:
  static std::shared_ptr<HCXMLParserResponseSerializer> serializer();

  // The base defaults and the two XML content types.
  HCXMLParserResponseSerializer();
  // As the base class.
  explicit HCXMLParserResponseSerializer(const ns::Dictionary& coder) : HCHTTPResponseSerializer(coder) {}

  // A serializer of this class with this one's acceptable sets.
  std::shared_ptr<HCHTTPResponseSerializer> copy() const override;

  // Returns a parser over the body with the error of the checks: a refused status code still gives the
  // parser. Returns no parser for an unacceptable content type with a body (error -1016) or for no body.
  HCSerializedResponse responseObjectForResponse(const std::shared_ptr<const ns::URLResponse>& response,
                                                 const std::optional<ns::Data>& data) const override;
};

}  // namespace http_client
