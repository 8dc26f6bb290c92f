// The older names of the mapping answer as the kv_ operations do, and their error forms hand over the
// error the operation recorded on its class.

#include <gtest/gtest.h>

#include "http_client/mapping/KVKeyValueDeprecated.h"
#include "http_client/mapping/KVPropertyDeprecated.h"
#include "http_client/mapping/KVStringExtensionDeprecated.h"
#include "kv_test_models.h"

namespace http_client {
namespace {

TEST(KVOlderNamesTest, TheErrorFormsHandOverTheClassesLastErrorOrNoneAfterASuccess) {
  KVClass& cls = kvClassOf<kvtest::Person>();
  std::optional<ns::Error> error = ns::Error("stale", 1);
  const std::optional<KVModelRef> made =
      objectWithKeyValues(cls, ns::Value(ns::Dictionary{{"name", "Sun"}, {"age", 7}}), &error);
  ASSERT_TRUE(made.has_value());
  EXPECT_FALSE(error.has_value());
  EXPECT_EQ(*keyValuesWithError(*made, &error).value(),
            ns::Value(ns::Dictionary{{"name", "Sun"}, {"age", 7}}));
  EXPECT_FALSE(error.has_value());
  EXPECT_EQ(*keyValuesWithIgnoredKeys(*made, {"age"}).value(), ns::Value(ns::Dictionary{{"name", "Sun"}}));
  EXPECT_EQ(JSONString(*made), std::optional<std::string>(R"({"age":7,"name":"Sun"})"));

  EXPECT_FALSE(objectWithKeyValues(cls, ns::Value(ns::Array{}), &error).has_value());
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->domain(), kKVNotADictionaryError);
  EXPECT_TRUE(objectArrayWithKeyValuesArray(cls, ns::Value("[{"), &error).isNone());
  EXPECT_EQ(error->domain(), kKVNotAnArrayError);
  EXPECT_FALSE(objectWithFilename(cls, std::nullopt, &error).has_value());
  EXPECT_EQ(error->domain(), kKVNoFilenameError);
  keyValuesWithError(ns::Value("text"), &error);
  EXPECT_EQ(error->domain(), kKVNotAModelError);
  EXPECT_FALSE(keyValuesArrayWithObjectArray(ns::Value(3), {}, {}, &error).has_value());
  EXPECT_EQ(error->domain(), kKVObjectArrayNotAnArrayError);

  setKeyValues(*made, ns::Value("not a dictionary"), &error);
  EXPECT_EQ(error->domain(), kKVNotADictionaryError);
  setKeyValues(*made, ns::Value(ns::Dictionary{{"age", 8}}), &error);
  EXPECT_FALSE(error.has_value());
  EXPECT_EQ(std::static_pointer_cast<kvtest::Person>(made->object)->age, 8);
}

TEST(KVOlderNamesTest, TheOlderTextAndPropertyNamesAnswerAsTheNewOnes) {
  EXPECT_EQ(underlineFromCamel("userName"), "user_name");
  EXPECT_EQ(camelFromUnderline("user_name"), "userName");
  EXPECT_EQ(firstCharLower("Abc"), "abc");
  EXPECT_EQ(firstCharUpper("abc"), "Abc");
  EXPECT_TRUE(isPureInt(" -12 "));
  EXPECT_EQ(url("http://h/a b")->absoluteString(), "http://h/a%20b");

  KVClass& cls = kvClassOf<kvtest::Address>();
  std::vector<std::string> names;
  enumerateProperties(cls, [&](KVProperty& property, bool&) { names.push_back(property.name()); });
  EXPECT_EQ(names, (std::vector<std::string>{"city", "zip"}));
  setupReplacedKeyFromPropertyName(cls, [] { return KVKeyDictionary{{"city", KVKey{"town"}}}; });
  const std::optional<KVModelRef> address =
      objectWithKeyValues(cls, ns::Value(ns::Dictionary{{"town", "Hefei"}}));
  setupReplacedKeyFromPropertyName(cls, nullptr);
  EXPECT_EQ(std::static_pointer_cast<kvtest::Address>(address->object)->city, "Hefei");
}

}  // namespace
}  // namespace http_client
