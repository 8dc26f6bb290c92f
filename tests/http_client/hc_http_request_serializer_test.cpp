// Building requests: default headers, query strings and request properties.

#include <gtest/gtest.h>

#include <string>

#include "http_client/HCHTTPRequestSerializer.h"
#include "http_client/HCQueryStringSerialization.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/text/PreferredLanguages.h"
#include "platform/foundation/values/Data.h"

namespace http_client {

namespace {

std::string bodyOf(const ns::URLRequest& request) {
  return ns::stringFromData(request.HTTPBody().value_or(ns::Data()));
}

ns::URLRequest built(const HCHTTPRequestSerializer& serializer, std::string_view method, std::string_view url,
                     const std::optional<ns::Dictionary>& parameters) {
  ns::Result<ns::URLRequest> request = serializer.requestWithMethod(method, url, parameters);
  EXPECT_TRUE(request.ok());
  return request.ok() ? *request : ns::URLRequest();
}

class HCHTTPRequestSerializerTest : public testing::Test {
 protected:
  ~HCHTTPRequestSerializerTest() override {
    ns::setPreferredLanguagesForTesting(std::nullopt);
    ns::Bundle::setMainBundleResourcePathForTesting(std::nullopt);
  }
};

TEST_F(HCHTTPRequestSerializerTest, AcceptLanguageWeighsAtMostSixPreferredLanguages) {
  ns::setPreferredLanguagesForTesting(std::vector<std::string>{"en", "zh-Hans", "fr"});
  EXPECT_EQ(HCHTTPRequestSerializer().valueForHTTPHeaderField("Accept-Language"),
            "en;q=1, zh-Hans;q=0.9, fr;q=0.8");
  ns::setPreferredLanguagesForTesting(std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g", "h"});
  EXPECT_EQ(HCHTTPRequestSerializer().valueForHTTPHeaderField("Accept-Language"),
            "a;q=1, b;q=0.9, c;q=0.8, d;q=0.7, e;q=0.6, f;q=0.5");
}

TEST_F(HCHTTPRequestSerializerTest, UserAgentNamesTheAppDeviceAndScreenInASCII) {
  EXPECT_EQ(HCHTTPRequestSerializer().valueForHTTPHeaderField("User-Agent"),
            "com.quillmark.app/1.0.0 (iPhone; iOS 9.3; Scale/2.00)");
  const std::string folder = testing::TempDir() + "/chinese-bundle";
  ASSERT_TRUE(
      ns::FileManager::defaultManager().createDirectoryAtPath(folder, ns::IntermediateDirectories::kYes));
  const std::string infoPlist =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
      "<key>CFBundleExecutable</key><string>北京\xF0\x9F\x98\x80</string>"
      "<key>CFBundleVersion</key><string>7</string></dict></plist>";
  ASSERT_TRUE(ns::FileManager::defaultManager().createFileAtPath(folder + "/Info.plist",
                                                                 ns::dataFromString(infoPlist)));
  ns::Bundle::setMainBundleResourcePathForTesting(folder);
  EXPECT_EQ(HCHTTPRequestSerializer().valueForHTTPHeaderField("User-Agent"),
            "bei jing/7 (iPhone; iOS 9.3; Scale/2.00)");
}

// Nested parameters flatten in key order with bracketed keys, sets in the order of their elements' texts;
// keys keep points and brackets, values escape.
TEST_F(HCHTTPRequestSerializerTest, QueryStringsFlattenNestedParametersAndEscapeValues) {
  const ns::Dictionary parameters{{"b", 2}, {"a", ns::Dictionary{{"y", 1}, {"x", ns::Array{"p", "q"}}}}};
  const ns::StringEncoding utf8 = ns::StringEncoding::utf8();
  EXPECT_EQ(HCQueryStringFromParameters(parameters, utf8), "a[x][]=p&a[x][]=q&a[y]=1&b=2");
  EXPECT_EQ(HCQueryStringFromParameters(ns::Dictionary{{"k", ns::Array{"b", "a"}}}, utf8), "k[]=b&k[]=a");
  // A set's elements go sorted by their text, under the key itself; equal elements count once.
  EXPECT_EQ(HCQueryStringFromParameters(ns::Dictionary{{"k", ns::Set{"b", "a", "b"}}}, utf8), "k=a&k=b");
  EXPECT_EQ(HCQueryStringFromParameters(
                ns::Dictionary{{"m", ns::Dictionary{{"ids", ns::Set{10, 9, ns::Array{"z"}}}}}}, utf8),
            "m[ids][]=z&m[ids]=10&m[ids]=9");
  EXPECT_EQ(HCQueryStringFromParameters(ns::Dictionary{{"flag", true}, {"none", nullptr}, {"pi", 2.5}}, utf8),
            "flag=1&none&pi=2.5");
  EXPECT_EQ(HCQueryStringFromParameters(ns::Dictionary{{"a.b[c]~", "x.y[z]~:/?&=;+!@#$()',*"}}, utf8),
            "a.b[c]~=x.y%5Bz%5D~%3A%2F%3F%26%3D%3B%2B%21%40%23%24%28%29%27%2C%2A");
  EXPECT_EQ(HCQueryStringFromParameters(ns::Dictionary{{"名", "é"}}, utf8), "%E5%90%8D=%C3%A9");
  EXPECT_EQ(HCQueryStringFromParameters(ns::Dictionary{{"k", "é"}}, ns::StringEncoding::isoLatin1()),
            "k=%E9");
}

TEST_F(HCHTTPRequestSerializerTest, GetParametersJoinTheQueryInFrontOfTheFragment) {
  const auto urlOf = [](std::string_view method, std::string_view url, const ns::Dictionary& parameters) {
    return built(HCHTTPRequestSerializer(), method, url, parameters).url()->absoluteString();
  };
  const ns::Dictionary parameters{{"a", "1"}};
  EXPECT_EQ(urlOf("GET", "http://h/p", parameters), "http://h/p?a=1");
  EXPECT_EQ(urlOf("get", "http://h/p?x=0", parameters), "http://h/p?x=0&a=1");
  EXPECT_EQ(urlOf("GET", "http://h/p#part", parameters), "http://h/p?a=1#part");
  EXPECT_EQ(urlOf("DELETE", "http://h/p?x=0#part", parameters), "http://h/p?x=0&a=1#part");
  EXPECT_EQ(urlOf("HEAD", "http://h/p", ns::Dictionary()), "http://h/p?");
  EXPECT_FALSE(built(HCHTTPRequestSerializer(), "GET", "http://h/p", parameters).HTTPBody());
}

TEST_F(HCHTTPRequestSerializerTest, HeadersAlreadyOnTheRequestWin) {
  HCHTTPRequestSerializer serializer;
  serializer.setValue("from-serializer", "X-Token");
  serializer.setValue("text/plain", "content-type");
  ns::URLRequest request(ns::URL::fromString("http://h/p"));
  request.setHTTPMethod("POST");
  request.setValue("mine", "x-token");
  const ns::Result<ns::URLRequest> serialized =
      serializer.requestBySerializingRequest(request, ns::Dictionary{{"a", "1"}});
  ASSERT_TRUE(serialized.ok());
  EXPECT_EQ(serialized->valueForHTTPHeaderField("X-Token"), "mine");
  EXPECT_EQ(serialized->valueForHTTPHeaderField("Content-Type"), "text/plain");
  EXPECT_EQ(bodyOf(*serialized), "a=1");
}

TEST_F(HCHTTPRequestSerializerTest, AuthorizationHeaders) {
  HCHTTPRequestSerializer serializer;
  serializer.setAuthorizationHeaderFieldWithUsername("user", "pass");
  EXPECT_EQ(serializer.valueForHTTPHeaderField("Authorization"), "Basic dXNlcjpwYXNz");
  serializer.setAuthorizationHeaderFieldWithToken("abc");
  EXPECT_EQ(serializer.valueForHTTPHeaderField("Authorization"), "Token token=\"abc\"");
  serializer.clearAuthorizationHeader();
  EXPECT_FALSE(serializer.valueForHTTPHeaderField("Authorization"));
}

TEST_F(HCHTTPRequestSerializerTest, OnlyRequestPropertiesThatWereSetReachRequests) {
  HCHTTPRequestSerializer serializer;
  const ns::URLRequest plain = built(serializer, "POST", "http://h/p", std::nullopt);
  EXPECT_EQ(plain.timeoutInterval(), ns::URLRequest::kDefaultTimeoutInterval);
  EXPECT_TRUE(plain.allowsCellularAccess());
  serializer.setTimeoutInterval(30);
  serializer.setAllowsCellularAccess(false);
  serializer.setCachePolicy(ns::URLRequestCachePolicy::kReloadIgnoringLocalCacheData);
  const ns::URLRequest request = built(serializer, "POST", "http://h/p", std::nullopt);
  EXPECT_EQ(request.timeoutInterval(), 30);
  EXPECT_FALSE(request.allowsCellularAccess());
  EXPECT_EQ(request.cachePolicy(), ns::URLRequestCachePolicy::kReloadIgnoringLocalCacheData);
  const std::shared_ptr<HCHTTPRequestSerializer> copy = serializer.copy();
  EXPECT_EQ(built(*copy, "POST", "http://h/p", std::nullopt).timeoutInterval(),
            ns::URLRequest::kDefaultTimeoutInterval);
}

TEST_F(HCHTTPRequestSerializerTest, ACustomQueryBlockReplacesTheEncodingAndMayRefuse) {
  HCHTTPRequestSerializer serializer;
  serializer.setQueryStringSerializationWithBlock(
      [](const ns::URLRequest&, const ns::Dictionary& parameters) -> ns::Result<std::string> {
        if (parameters.contains("bad")) {
          return ns::Error("test", 7);
        }
        return std::string("custom");
      });
  EXPECT_EQ(bodyOf(built(serializer, "POST", "http://h/p", ns::Dictionary{{"a", 1}})), "custom");
  const ns::Result<ns::URLRequest> refused =
      serializer.requestWithMethod("POST", "http://h/p", ns::Dictionary{{"bad", 1}});
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().code(), 7);
  serializer.setQueryStringSerializationWithStyle(HCHTTPRequestQueryStringSerializationStyle::kDefaultStyle);
  EXPECT_EQ(bodyOf(built(serializer, "POST", "http://h/p", ns::Dictionary{{"a", 1}})), "a=1");
}

TEST_F(HCHTTPRequestSerializerTest, AnUnparsableURLGivesARequestWithoutURL) {
  EXPECT_FALSE(built(HCHTTPRequestSerializer(), "GET", "http://h/a b", ns::Dictionary{{"a", 1}}).url());
}

}  // namespace

}  // namespace http_client
