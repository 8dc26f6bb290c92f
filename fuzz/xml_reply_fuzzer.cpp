// Hands the HTTP client's XML reply serializer a reply made from the input (first line: the status code;
// second: the Content-Type, none when empty; the rest: the body) and walks the parser it gives back. Checks
// the promises: an XML reply always gives a parser, other types with a body never do, the walk reports
// well-formed documents without error and others with exactly one, and no declared entity is expanded.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "fuzz_check.h"
#include "http_client/HCXMLParserResponseSerializer.h"
#include "platform/foundation/formats/XMLParser.h"
#include "platform/net/HTTPURLResponse.h"
#include "reply_from_input.h"

namespace {

// Counts what the walk reports and keeps the text it found, bounded, to see that nothing grows beyond the
// document.
class Walk : public ns::XMLParserDelegate {
 public:
  void didStartElement(ns::XMLParser&, const std::string& name, const std::string&,
                       const std::map<std::string, std::string>& attributes) override {
    depth += 1;
    reported += name.size();
    for (const auto& [attribute, value] : attributes) {
      reported += attribute.size() + value.size();
    }
  }
  void didEndElement(ns::XMLParser&, const std::string&, const std::string&) override { depth -= 1; }
  void foundCharacters(ns::XMLParser&, const std::string& text) override { reported += text.size(); }
  void foundCDATA(ns::XMLParser&, const ns::Data& block) override { reported += block.size(); }
  void parseErrorOccurred(ns::XMLParser&, const ns::Error&) override { errors += 1; }

  long depth = 0;
  std::size_t reported = 0;
  int errors = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ns::URL url = *ns::URL::fromString("http://127.0.0.1/api/v1/feed");
  const std::optional<FuzzedReply> reply =
      replyFromInput(std::string_view(reinterpret_cast<const char*>(data), size), url);
  if (!reply) {
    return 0;
  }
  const http_client::HCXMLParserResponseSerializer serializer;
  const http_client::HCSerializedResponse result =
      serializer.responseObjectForResponse(reply->response, reply->body);
  const std::optional<std::string>& type = reply->response->MIMEType();
  const bool typeAccepted = type && serializer.acceptableContentTypes()->contains(*type);
  const auto parser = std::dynamic_pointer_cast<ns::XMLParser>(result.responseReferenceObject);
  requireProperty(!typeAccepted || parser != nullptr, "an XML reply gives a parser");
  requireProperty(typeAccepted || reply->body.empty() || parser == nullptr,
                  "a reply of another type with a body gives no parser");
  if (!parser) {
    return 0;
  }
  auto walk = std::make_shared<Walk>();
  parser->setDelegate(walk);
  const bool parsed = parser->parse();
  requireProperty(parsed == !parser->parserError().has_value(), "a parse fails exactly when it has an error");
  requireProperty(walk->errors == (parsed ? 0 : 1), "a failed parse reports its error once");
  requireProperty(!parsed || walk->depth == 0, "a well-formed document closes every element it opens");
  // Replacing the predefined entities and character references never lengthens the text much; only
  // expanded declared entities could.
  requireProperty(walk->reported <= 4 * reply->body.size(), "no declared entity is expanded");
  return 0;
}
