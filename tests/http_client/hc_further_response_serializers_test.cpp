// XML, property-list and compound replies: content types, status codes, reading errors, the compound's
// choice and its error when no member accepts a reply, and the serializers' archives and copies.

#include <gtest/gtest.h>

#include "http_client/HCCompoundResponseSerializer.h"
#include "http_client/HCHTTPRequestOperation.h"
#include "http_client/HCJSONResponseSerializer.h"
#include "http_client/HCPropertyListResponseSerializer.h"
#include "http_client/HCSerializerCoding.h"
#include "http_client/HCXMLParserResponseSerializer.h"
#include "http_client/http_client_test_util.h"
#include "platform/foundation/formats/PropertyListSerialization.h"
#include "platform/foundation/formats/XMLParser.h"
#include "platform/net/HTTPURLResponse.h"

namespace http_client {

namespace {

constexpr char kPropertyList[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>lesson</key>"
    "<string>代数</string><key>minutes</key><integer>45</integer></dict></plist>";

std::shared_ptr<const ns::URLResponse> reply(int status, const std::string& contentType) {
  return std::make_shared<const ns::HTTPURLResponse>(*ns::URL::fromString("http://h/api"), status,
                                                     ns::HTTPHeaderFields{{"Content-Type", contentType}});
}

bool hasCode(const std::optional<ns::Error>& error, std::int64_t code) {
  return error && error->code() == code;
}

// Names the elements a parse met, in order.
class ElementNames : public ns::XMLParserDelegate {
 public:
  void didStartElement(ns::XMLParser&, const std::string& name, const std::string&,
                       const std::map<std::string, std::string>&) override {
    names += "<" + name + ">";
  }
  void foundCharacters(ns::XMLParser&, const std::string& text) override { names += text; }
  std::string names;
};

std::string parsedNames(const HCSerializedResponse& result) {
  const auto parser = std::dynamic_pointer_cast<ns::XMLParser>(result.responseReferenceObject);
  if (!parser) {
    return "(no parser)";
  }
  auto delegate = std::make_shared<ElementNames>();
  parser->setDelegate(delegate);
  return parser->parse() ? delegate->names : "(parse failed)";
}

TEST(HCXMLParserResponseSerializerTest, XMLRepliesGiveAParserEvenWithARefusedStatusButOtherTypesNothing) {
  const HCXMLParserResponseSerializer serializer;
  const ns::Data body = ns::dataFromString("<lessons><lesson>代数</lesson></lessons>");
  const HCSerializedResponse ok =
      serializer.responseObjectForResponse(reply(200, "text/xml; charset=utf-8"), body);
  EXPECT_EQ(ok.error, std::nullopt);
  EXPECT_EQ(parsedNames(ok), "<lessons><lesson>代数");

  const HCSerializedResponse failed =
      serializer.responseObjectForResponse(reply(500, "application/xml"), body);
  EXPECT_TRUE(hasCode(failed.error, kHCResponseErrorBadServerResponse));
  EXPECT_EQ(parsedNames(failed), "<lessons><lesson>代数");

  const HCSerializedResponse html = serializer.responseObjectForResponse(reply(200, "text/html"), body);
  EXPECT_FALSE(html.hasObject());
  EXPECT_TRUE(hasCode(html.error, kHCResponseErrorCannotDecodeContentData));
}

TEST(HCPropertyListResponseSerializerTest, PropertyListsAreReadAndReadingErrorsCarryTheStatusErrorBeneath) {
  const auto serializer = HCPropertyListResponseSerializer::serializer();
  const HCSerializedResponse xml = serializer->responseObjectForResponse(reply(200, "application/x-plist"),
                                                                         ns::dataFromString(kPropertyList));
  EXPECT_EQ(xml.error, std::nullopt);
  EXPECT_EQ(xml.responseObject, ns::Value(ns::Dictionary{{"lesson", "代数"}, {"minutes", 45}}));
  const ns::Data binaryBody = ns::PropertyListSerialization::dataWithPropertyList(
                                  ns::Array{1, "two"}, ns::PropertyListFormat::kBinary)
                                  .value();
  EXPECT_EQ(
      serializer->responseObjectForResponse(reply(200, "application/x-plist"), binaryBody).responseObject,
      ns::Value(ns::Array{1, "two"}));

  const HCSerializedResponse garbage = serializer->responseObjectForResponse(
      reply(503, "application/x-plist"), ns::dataFromString("not a plist"));
  EXPECT_FALSE(garbage.responseObject);
  ASSERT_TRUE(hasCode(garbage.error, ns::kPropertyListReadCorruptError));
  ASSERT_TRUE(garbage.error->underlyingError());
  EXPECT_EQ(garbage.error->underlyingError()->code(), kHCResponseErrorBadServerResponse);

  const HCSerializedResponse json =
      serializer->responseObjectForResponse(reply(200, "application/json"), ns::dataFromString("{}"));
  EXPECT_FALSE(json.hasObject());
  EXPECT_TRUE(hasCode(json.error, kHCResponseErrorCannotDecodeContentData));
}

TEST(HCCompoundResponseSerializerTest, TheFirstMemberThatMakesAnObjectAnswers) {
  const auto compound = HCCompoundResponseSerializer::compoundSerializerWithResponseSerializers(
      {nullptr, HCJSONResponseSerializer::serializer(), HCXMLParserResponseSerializer::serializer()});
  const HCSerializedResponse xml =
      compound->responseObjectForResponse(reply(200, "text/xml"), ns::dataFromString("<a>1</a>"));
  EXPECT_EQ(xml.error, std::nullopt);
  EXPECT_EQ(parsedNames(xml), "<a>1");
  const HCSerializedResponse json =
      compound->responseObjectForResponse(reply(404, "application/json"), ns::dataFromString(R"({"a":1})"));
  EXPECT_EQ(json.responseObject, ns::Value(ns::Dictionary{{"a", 1}}));
  EXPECT_TRUE(hasCode(json.error, kHCResponseErrorBadServerResponse));
}

// A reply that no member accepts comes back as the plain serializer gives it, but never without an error.
TEST(HCCompoundResponseSerializerTest, AReplyNoMemberAcceptsCarriesTheLastMembersError) {
  const auto compound = HCCompoundResponseSerializer::compoundSerializerWithResponseSerializers(
      {HCJSONResponseSerializer::serializer(), HCPropertyListResponseSerializer::serializer()});
  const ns::Data picture = ns::dataFromString("\x89PNG");
  const HCSerializedResponse result = compound->responseObjectForResponse(reply(200, "image/png"), picture);
  EXPECT_EQ(result.responseObject, ns::Value(picture));
  ASSERT_TRUE(hasCode(result.error, kHCResponseErrorCannotDecodeContentData));
  EXPECT_EQ(result.error->localizedDescription(), "Request failed: unacceptable content-type: image/png");

  const auto empty = HCCompoundResponseSerializer::compoundSerializerWithResponseSerializers({});
  const HCSerializedResponse plain = empty->responseObjectForResponse(reply(200, "image/png"), picture);
  EXPECT_EQ(plain.responseObject, ns::Value(picture));
  EXPECT_EQ(plain.error, std::nullopt);
}

TEST(HCFurtherResponseSerializersTest, ArchivesAndCopiesKeepClassesAndMissingKeysGiveTheDefaults) {
  auto plist = HCPropertyListResponseSerializer::serializerWithFormat(HCPropertyListFormat::kBinary, 2);
  const auto compound = HCCompoundResponseSerializer::compoundSerializerWithResponseSerializers(
      {HCXMLParserResponseSerializer::serializer(), plist});
  const auto decoded = std::dynamic_pointer_cast<HCCompoundResponseSerializer>(
      HCDecodeResponseSerializer(HCEncodeResponseSerializer(*compound)));
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->responseSerializers().size(), 2u);
  EXPECT_TRUE(std::dynamic_pointer_cast<HCXMLParserResponseSerializer>(decoded->responseSerializers()[0]));
  const auto decodedPlist =
      std::dynamic_pointer_cast<HCPropertyListResponseSerializer>(decoded->responseSerializers()[1]);
  ASSERT_TRUE(decodedPlist);
  EXPECT_EQ(decodedPlist->format(), HCPropertyListFormat::kBinary);
  EXPECT_EQ(decodedPlist->readOptions(), 2u);
  EXPECT_EQ(decodedPlist->acceptableContentTypes(), std::set<std::string>{"application/x-plist"});

  auto xml = HCXMLParserResponseSerializer::serializer();
  xml->setAcceptableStatusCodes(std::set<int>{200});
  const auto xmlCopy = std::dynamic_pointer_cast<HCXMLParserResponseSerializer>(xml->copy());
  ASSERT_TRUE(xmlCopy);
  EXPECT_EQ(xmlCopy->acceptableStatusCodes(), std::set<int>{200});

  const auto barePlist = std::dynamic_pointer_cast<HCPropertyListResponseSerializer>(
      HCDecodeResponseSerializer(ns::Dictionary{{"$class", "HCPropertyListResponseSerializer"}}));
  ASSERT_TRUE(barePlist);
  EXPECT_EQ(barePlist->format(), HCPropertyListFormat::kXML);
  EXPECT_EQ(barePlist->readOptions(), 0u);
  const auto bareCompound = std::dynamic_pointer_cast<HCCompoundResponseSerializer>(
      HCDecodeResponseSerializer(ns::Dictionary{{"$class", "HCCompoundResponseSerializer"}}));
  ASSERT_TRUE(bareCompound);
  EXPECT_TRUE(bareCompound->responseSerializers().empty());
}

// Runs a GET of `path` on `server` with `serializer` and returns what the blocks got.
httpclienttest::Outcome fetched(testsupport::LoopbackHTTPServer& server, const std::string& path,
                                std::shared_ptr<HCHTTPResponseSerializer> serializer) {
  httpclienttest::Outcome outcome;
  auto operation = std::make_shared<HCHTTPRequestOperation>(httpclienttest::requestTo(server.url(path)),
                                                            std::move(serializer));
  operation->setCompletionBlockWithSuccess(outcome.success(), outcome.failure());
  operation->start();
  EXPECT_TRUE(outcome.waitForEnd());
  return outcome;
}

TEST(HCFurtherResponseSerializersTest, PropertyListAndXMLRepliesFromALoopbackServerReachTheSuccessBlock) {
  testsupport::LoopbackHTTPServer server;
  server.route("/lesson", httpclienttest::wakingMainLoop(
                              testsupport::TestResponse::text(200, kPropertyList, "application/x-plist")));
  server.route("/feed", httpclienttest::wakingMainLoop(
                            testsupport::TestResponse::text(200, "<feed><item>1</item></feed>", "text/xml")));

  const httpclienttest::Outcome plist =
      fetched(server, "/lesson", HCPropertyListResponseSerializer::serializer());
  EXPECT_TRUE(plist.succeededOnce());
  EXPECT_EQ(plist.responseObject, ns::Value(ns::Dictionary{{"lesson", "代数"}, {"minutes", 45}}));

  const httpclienttest::Outcome xml =
      fetched(server, "/feed",
              HCCompoundResponseSerializer::compoundSerializerWithResponseSerializers(
                  {HCJSONResponseSerializer::serializer(), HCXMLParserResponseSerializer::serializer()}));
  EXPECT_TRUE(xml.succeededOnce());
  ASSERT_TRUE(xml.operation);
  HCSerializedResponse parsed;
  parsed.responseReferenceObject = xml.operation->responseReferenceObject();
  EXPECT_EQ(parsedNames(parsed), "<feed><item>1");
}

}  // namespace

}  // namespace http_client
