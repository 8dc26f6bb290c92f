// Checking and parsing replies: status codes, content types, character sets and null removal.

#include <gtest/gtest.h>

#include "http_client/HCJSONResponseSerializer.h"
#include "http_client/HCResponseSerializationErrors.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/values/Error.h"
#include "platform/net/HTTPURLResponse.h"

namespace http_client {

namespace {

std::shared_ptr<const ns::URLResponse> reply(int status, const std::string& contentType) {
  ns::HTTPHeaderFields headers;
  if (!contentType.empty()) {
    headers["Content-Type"] = contentType;
  }
  return std::make_shared<const ns::HTTPURLResponse>(*ns::URL::fromString("http://h/api"), status, headers);
}

HCSerializedResponse parse(const std::string& body, int status = 200,
                           const std::string& type = "application/json",
                           const HCJSONResponseSerializer& serializer = HCJSONResponseSerializer()) {
  return serializer.responseObjectForResponse(reply(status, type), ns::dataFromString(body));
}

bool isSerializationError(const std::optional<ns::Error>& error, std::int64_t code) {
  return error && error->domain() == kHCURLResponseSerializationErrorDomain && error->code() == code;
}

TEST(HCJSONResponseSerializerTest, AnUnacceptableContentTypeOrUndecodableTextIsRefusedUnparsedWith1016) {
  const HCSerializedResponse result = parse(R"({"a":1})", 200, "application/xml");
  EXPECT_FALSE(result.responseObject);
  ASSERT_TRUE(isSerializationError(result.error, -1016));
  EXPECT_EQ(result.error->localizedDescription(),
            "Request failed: unacceptable content-type: application/xml");
  EXPECT_EQ(result.error->userInfo().at("NSErrorFailingURLKey"), ns::Value("http://h/api"));
  EXPECT_EQ(result.error->userInfo().at(std::string(kHCNetworkingOperationFailingURLResponseDataErrorKey)),
            ns::Value(ns::dataFromString(R"({"a":1})")));
  EXPECT_EQ(
      parse("{\"a\":\"\xFF\xFE\"}", 200, "application/json; charset=utf-8").error->localizedDescription(),
      "Data failed decoding as a UTF-8 string");
}

TEST(HCJSONResponseSerializerTest, RefusedStatusCodesGiveTheObjectAndAnError) {
  const HCSerializedResponse result = parse(R"({"message":"gone"})", 404);
  ASSERT_TRUE(result.responseObject);
  EXPECT_EQ(result.responseObject->find("message")->asString(), "gone");
  ASSERT_TRUE(isSerializationError(result.error, -1011));
  EXPECT_EQ(result.error->localizedDescription(), "Request failed: not found (404)");
  const ns::Value& response =
      result.error->userInfo().at(std::string(kHCNetworkingOperationFailingURLResponseErrorKey));
  EXPECT_EQ(response.find("statusCode")->asInteger(), 404);
}

// An empty or single-space body has nothing to parse: no object and only the checks' error (0: none).
// A broken or undecodable body is an error; a refused status's error stays (0: none beneath).
TEST(HCJSONResponseSerializerTest, RepliesWithNothingToParseKeepOnlyTheChecksErrorAndBrokenOnesFail) {
  const std::string json = "application/json";
  const struct {
    std::string body;
    int status;
    std::string type;
    std::int64_t code;
    std::int64_t beneath;
  } cases[] = {{"", 200, json, 0, 0},
               {" ", 200, json, 0, 0},
               {"", 204, "", 0, 0},
               {"", 200, "application/xml", 0, 0},
               {"  ", 200, json, ns::kPropertyListReadCorruptError, 0},
               {"{broken", 200, json, ns::kPropertyListReadCorruptError, 0},
               {"7", 200, json, ns::kPropertyListReadCorruptError, 0},
               {"{\"a\":\"\xFF\xFE\"}", 200, json + "; charset=utf-8", -1016, 0},
               {"", 503, json, -1011, 0},
               {" ", 503, json, -1011, 0},
               {"{broken", 500, json, ns::kPropertyListReadCorruptError, -1011},
               {"<error/>", 500, "application/xml", -1011, -1016}};
  for (const auto& [body, status, type, code, beneath] : cases) {
    const HCSerializedResponse result = parse(body, status, type);
    const std::string context = std::to_string(status) + " " + type + " \"" + body + '"';
    EXPECT_FALSE(result.responseObject) << context;
    EXPECT_EQ(result.error ? result.error->code() : 0, code) << context;
    if (!result.error) {
      continue;
    }
    EXPECT_EQ(result.error->domain(), code == ns::kPropertyListReadCorruptError
                                          ? ns::kCocoaErrorDomain
                                          : kHCURLResponseSerializationErrorDomain)
        << context;
    EXPECT_EQ(result.error->underlyingError() ? result.error->underlyingError()->code() : 0, beneath)
        << context;
  }
}

TEST(HCJSONResponseSerializerTest, FragmentsParseOnlyWhenTheReadingOptionsAllowThem) {
  const auto fragments =
      HCJSONResponseSerializer::serializerWithReadingOptions(ns::kJSONReadingFragmentsAllowed);
  EXPECT_EQ(HCJSONResponseSerializer::serializer()->readingOptions(), 0u);
  const std::pair<std::string, ns::Value> bodies[] = {{"7", ns::Value(7)},
                                                      {R"("ok")", ns::Value("ok")},
                                                      {"null", ns::Value()},
                                                      {"[1]", ns::Value(ns::Array{1})}};
  for (const auto& [body, value] : bodies) {
    const HCSerializedResponse result = parse(body, 200, "application/json", *fragments);
    EXPECT_FALSE(result.error) << body;
    EXPECT_EQ(result.responseObject, value) << body;
  }
  EXPECT_FALSE(parse("", 200, "application/json", *fragments).error);
}

TEST(HCJSONResponseSerializerTest, NullRemovalDropsNullEntriesAtEveryDepthButKeepsArrayNulls) {
  HCJSONResponseSerializer serializer;
  serializer.setRemovesKeysWithNullValues(true);
  const HCSerializedResponse result =
      parse(R"({"a":null,"b":[{"c":null},null]})", 200, "application/json", serializer);
  ASSERT_TRUE(result.responseObject);
  EXPECT_EQ(*result.responseObject, ns::Value(ns::Dictionary{{"b", ns::Array{ns::Dictionary{}, nullptr}}}));
  EXPECT_TRUE(parse(R"({"a":null})").responseObject->find("a")->isNull());
}

TEST(HCJSONResponseSerializerTest, ANonHTTPOrMissingResponseIsNotChecked) {
  const HCJSONResponseSerializer serializer;
  const HCSerializedResponse result =
      serializer.responseObjectForResponse(nullptr, ns::dataFromString("[1]"));
  EXPECT_FALSE(result.error);
  EXPECT_EQ(*result.responseObject, ns::Value(ns::Array{1}));
}

TEST(HCHTTPResponseSerializerTest, PassesTheBodyThroughWithTheCheck) {
  const HCHTTPResponseSerializer serializer;
  const HCSerializedResponse ok =
      serializer.responseObjectForResponse(reply(200, "image/png"), ns::Data{1, 2});
  EXPECT_FALSE(ok.error);
  EXPECT_EQ(*ok.responseObject, ns::Value(ns::Data{1, 2}));
  const HCSerializedResponse refused =
      serializer.responseObjectForResponse(reply(302, "text/html"), ns::Data{3});
  EXPECT_TRUE(isSerializationError(refused.error, -1011));
  EXPECT_EQ(*refused.responseObject, ns::Value(ns::Data{3}));
}

TEST(HCJSONResponseSerializerTest, CopiesAndArchives) {
  HCJSONResponseSerializer serializer;
  serializer.setRemovesKeysWithNullValues(true);
  serializer.setReadingOptions(ns::kJSONReadingFragmentsAllowed);
  serializer.setAcceptableStatusCodes(std::set<int>{200});
  const auto copy = std::dynamic_pointer_cast<HCJSONResponseSerializer>(serializer.copy());
  ASSERT_TRUE(copy);
  EXPECT_TRUE(copy->removesKeysWithNullValues());
  EXPECT_EQ(copy->readingOptions(), ns::kJSONReadingFragmentsAllowed);
  EXPECT_EQ(copy->acceptableStatusCodes()->size(), 100u);
  ns::Dictionary archive;
  serializer.encodeWithCoder(archive);
  EXPECT_EQ(archive.at("readingOptions"), ns::Value(4));
  const HCJSONResponseSerializer decoded(archive);
  EXPECT_TRUE(decoded.removesKeysWithNullValues());
  EXPECT_EQ(decoded.readingOptions(), ns::kJSONReadingFragmentsAllowed);
  archive.erase("readingOptions");
  EXPECT_EQ(HCJSONResponseSerializer(archive).readingOptions(), 0u);
  EXPECT_EQ(decoded.acceptableStatusCodes(), std::set<int>{200});
  EXPECT_EQ(decoded.acceptableContentTypes(), serializer.acceptableContentTypes());
}

}  // namespace

}  // namespace http_client
