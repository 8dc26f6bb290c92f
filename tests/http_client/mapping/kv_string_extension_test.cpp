#include <gtest/gtest.h>

#include "http_client/mapping/KVStringExtension.h"

namespace http_client {
namespace {

TEST(KVStringExtensionTest, ConvertsNames) {
  struct Case {
    std::string (*convert)(std::string_view);
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {kv_underlineFromCamel, "userName", "user_name"},
      {kv_underlineFromCamel, "ID", "_i_d"},
      {kv_underlineFromCamel, "", ""},
      {kv_underlineFromCamel, "plain", "plain"},
      {kv_camelFromUnderline, "user_name", "userName"},
      {kv_camelFromUnderline, "a__b", "aB"},
      {kv_camelFromUnderline, "_id", "Id"},
      {kv_camelFromUnderline, "", ""},
      {kv_camelFromUnderline, "a_", "a"},
      {kv_firstCharLower, "UserName", "userName"},
      {kv_firstCharLower, "", ""},
      {kv_firstCharUpper, "userName", "UserName"},
      {kv_firstCharUpper, "9lives", "9lives"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.convert(c.text), c.expected) << c.text;
  }
}

TEST(KVStringExtensionTest, TellsWholeIntegers) {
  struct Case {
    const char* text;
    bool pureInt;
  };
  const Case cases[] = {{"12", true}, {"-3", true}, {" 42 ", true}, {"+7", true},   {"12.5", false},
                        {"", false},  {"-", false}, {"1e3", false}, {"abc", false}, {"1 2", false}};
  for (const Case& c : cases) {
    EXPECT_EQ(kv_isPureInt(c.text), c.pureInt) << c.text;
  }
}

TEST(KVStringExtensionTest, EscapesWhatAURLCannotHold) {
  struct Case {
    const char* text;
    const char* absoluteString;  // nullptr: no URL
  };
  const Case cases[] = {
      {"http://example.com/a b", "http://example.com/a%20b"},
      {"http://example.com/课程?id=1&x=[2]#top", "http://example.com/%E8%AF%BE%E7%A8%8B?id=1&x=[2]#top"},
      {"http://example.com/50%25", "http://example.com/50%25"},
      {"http://example.com/100%", nullptr},
      {"relative/path", "relative/path"},
  };
  for (const Case& c : cases) {
    const std::optional<ns::URL> url = kv_url(c.text);
    if (c.absoluteString == nullptr) {
      EXPECT_FALSE(url.has_value()) << c.text;
    } else {
      ASSERT_TRUE(url.has_value()) << c.text;
      EXPECT_EQ(url->absoluteString(), c.absoluteString);
    }
  }
}

}  // namespace
}  // namespace http_client
