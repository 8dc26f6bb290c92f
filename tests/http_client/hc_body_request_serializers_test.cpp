// JSON and property-list request bodies: bodies and content types, methods that keep the query, writer
// errors, and the serializers' archives and copies.

#include <gtest/gtest.h>

#include "http_client/HCJSONRequestSerializer.h"
#include "http_client/HCPropertyListRequestSerializer.h"
#include "http_client/HCSerializerCoding.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/formats/PropertyListSerialization.h"

namespace http_client {

namespace {

ns::URLRequest requestWithMethod(const std::string& method, const std::string& url = "http://h/api") {
  ns::URLRequest request(ns::URL::fromString(url));
  request.setHTTPMethod(method);
  return request;
}

TEST(HCBodyRequestSerializersTest, APostGetsTheParametersAsABodyWithItsContentTypeUnlessTheRequestHasOne) {
  const auto json = HCJSONRequestSerializer::serializer();
  ns::Result<ns::URLRequest> request =
      json->requestBySerializingRequest(requestWithMethod("POST"), ns::Dictionary{{"a", 1}});
  ASSERT_TRUE(request.ok());
  EXPECT_EQ(request->HTTPBody(), ns::dataFromString(R"({"a":1})"));
  EXPECT_EQ(request->valueForHTTPHeaderField("Content-Type"), "application/json");
  EXPECT_TRUE(request->valueForHTTPHeaderField("User-Agent"));
  EXPECT_EQ(HCJSONRequestSerializer::serializerWithWritingOptions(ns::kJSONWritingPrettyPrinted)
                ->requestBySerializingRequest(requestWithMethod("POST"), ns::Dictionary{{"a", 1}})
                ->HTTPBody(),
            ns::dataFromString("{\n  \"a\" : 1\n}"));

  ns::URLRequest typed = requestWithMethod("PUT");
  typed.setValue("application/vnd.quill+json", "content-type");
  EXPECT_EQ(json->requestBySerializingRequest(typed, ns::Dictionary{{"a", 1}})
                ->valueForHTTPHeaderField("Content-Type"),
            "application/vnd.quill+json");

  const auto plist = HCPropertyListRequestSerializer::serializer();
  ns::Result<ns::URLRequest> xml = plist->requestBySerializingRequest(
      requestWithMethod("POST"), ns::Dictionary{{"name", "张三"}, {"count", 2}});
  ASSERT_TRUE(xml.ok());
  EXPECT_EQ(xml->valueForHTTPHeaderField("Content-Type"), "application/x-plist");
  EXPECT_EQ(ns::stringFromData(*xml->HTTPBody()).substr(0, 5), "<?xml");
  EXPECT_EQ(ns::PropertyListSerialization::propertyListWithData(*xml->HTTPBody()).value(),
            ns::Value(ns::Dictionary{{"name", "张三"}, {"count", 2}}));
  ns::Result<ns::URLRequest> binary =
      HCPropertyListRequestSerializer::serializerWithFormat(HCPropertyListFormat::kBinary, 0)
          ->requestBySerializingRequest(requestWithMethod("POST"), ns::Dictionary{{"a", 1}});
  EXPECT_EQ(ns::stringFromData(*binary->HTTPBody()).substr(0, 6), "bplist");
}

TEST(HCBodyRequestSerializersTest, QueryMethodsKeepTheFormQueryAndNoParametersMeanNoBody) {
  const auto json = HCJSONRequestSerializer::serializer();
  ns::Result<ns::URLRequest> get = json->requestBySerializingRequest(
      requestWithMethod("get", "http://h/api?x=1"), ns::Dictionary{{"a b", "c"}});
  ASSERT_TRUE(get.ok());
  EXPECT_EQ(get->url()->absoluteString(), "http://h/api?x=1&a%20b=c");
  EXPECT_EQ(get->HTTPBody(), std::nullopt);

  ns::Result<ns::URLRequest> bare =
      HCPropertyListRequestSerializer::serializer()->requestBySerializingRequest(requestWithMethod("POST"),
                                                                                 std::nullopt);
  ASSERT_TRUE(bare.ok());
  EXPECT_EQ(bare->HTTPBody(), std::nullopt);
  EXPECT_EQ(bare->valueForHTTPHeaderField("Content-Type"), std::nullopt);
  EXPECT_TRUE(bare->valueForHTTPHeaderField("Accept-Language"));
}

// A body that could not be written is an error, never a request sent with an empty body.
TEST(HCBodyRequestSerializersTest, ParametersTheWriterCannotHoldAreAnError) {
  ns::Result<ns::URLRequest> json = HCJSONRequestSerializer::serializer()->requestBySerializingRequest(
      requestWithMethod("POST"), ns::Dictionary{{"raw", ns::dataFromString("x")}});
  ASSERT_FALSE(json.ok());
  EXPECT_EQ(json.error().code(), ns::kPropertyListWriteInvalidError);

  ns::Result<ns::URLRequest> plist =
      HCPropertyListRequestSerializer::serializer()->requestBySerializingRequest(
          requestWithMethod("POST"), ns::Dictionary{{"nothing", ns::Value()}});
  ASSERT_FALSE(plist.ok());
  EXPECT_EQ(plist.error().code(), ns::kPropertyListWriteInvalidError);

  ns::Result<ns::URLRequest> openStep =
      HCPropertyListRequestSerializer::serializerWithFormat(HCPropertyListFormat::kOpenStep, 0)
          ->requestBySerializingRequest(requestWithMethod("POST"), ns::Dictionary{{"a", 1}});
  ASSERT_FALSE(openStep.ok());
  EXPECT_EQ(openStep.error().code(), ns::kPropertyListWriteInvalidError);
}

TEST(HCBodyRequestSerializersTest, ArchivesAndCopiesKeepTheClassAndOptionsAndMissingKeysGiveTheDefaults) {
  auto plist = HCPropertyListRequestSerializer::serializerWithFormat(HCPropertyListFormat::kBinary, 3);
  plist->setValue("token", "X-Token");
  const auto decoded = HCDecodeRequestSerializer(HCEncodeRequestSerializer(*plist));
  const auto* decodedPlist = dynamic_cast<const HCPropertyListRequestSerializer*>(decoded.get());
  ASSERT_NE(decodedPlist, nullptr);
  EXPECT_EQ(decodedPlist->format(), HCPropertyListFormat::kBinary);
  EXPECT_EQ(decodedPlist->writeOptions(), 3u);
  EXPECT_EQ(decodedPlist->valueForHTTPHeaderField("X-Token"), "token");

  const auto copied = std::dynamic_pointer_cast<HCPropertyListRequestSerializer>(plist->copy());
  ASSERT_TRUE(copied);
  EXPECT_EQ(copied->format(), HCPropertyListFormat::kBinary);
  EXPECT_EQ(copied->valueForHTTPHeaderField("X-Token"), "token");

  const auto json = std::dynamic_pointer_cast<HCJSONRequestSerializer>(HCDecodeRequestSerializer(
      HCEncodeRequestSerializer(*HCJSONRequestSerializer::serializerWithWritingOptions(1))));
  ASSERT_TRUE(json);
  EXPECT_EQ(json->writingOptions(), 1u);
  EXPECT_EQ(std::dynamic_pointer_cast<HCJSONRequestSerializer>(json->copy())->writingOptions(), 1u);

  const auto bare = HCDecodeRequestSerializer(ns::Dictionary{{"$class", "HCPropertyListRequestSerializer"}});
  const auto* barePlist = dynamic_cast<const HCPropertyListRequestSerializer*>(bare.get());
  ASSERT_NE(barePlist, nullptr);
  EXPECT_EQ(barePlist->format(), HCPropertyListFormat::kXML);
  EXPECT_EQ(barePlist->writeOptions(), 0u);
  EXPECT_TRUE(barePlist->valueForHTTPHeaderField("User-Agent"));
}

}  // namespace

}  // namespace http_client
