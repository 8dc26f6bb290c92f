#include "platform/foundation/text/RegularExpression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ns {
namespace {

using CaseSensitivity = RegularExpression::CaseSensitivity;

RegularExpression compiled(std::string_view pattern,
                           CaseSensitivity caseSensitivity = CaseSensitivity::kSensitive) {
  Result<RegularExpression> expression = RegularExpression::make(pattern, caseSensitivity);
  EXPECT_TRUE(expression.ok()) << pattern;
  return std::move(expression).value();
}

std::vector<std::string> matchedTexts(const RegularExpression& expression, std::string_view text) {
  std::vector<std::string> texts;
  for (const RegularExpression::Range& range : expression.matchesInText(text)) {
    texts.emplace_back(text.substr(range.offset, range.length));
  }
  return texts;
}

// A whole-text match needs no "$"; \w and \uXXXX ranges take characters beyond ASCII.
TEST(RegularExpressionTest, WholeTextMatchOfLatinAndChineseNames) {
  const RegularExpression latinName = compiled("^[a-zA-Z]{2,20}");
  EXPECT_TRUE(latinName.matchesEntireText("Li"));
  EXPECT_FALSE(latinName.matchesEntireText("Li Lei"));
  const RegularExpression ideographName = compiled("^[\\u4E00-\\u9FA5\\uF900-\\uFA2D]{2,20}");
  EXPECT_TRUE(ideographName.matchesEntireText("张三"));
  EXPECT_FALSE(ideographName.matchesEntireText("张a"));
  const RegularExpression userName = compiled("^[0-9a-zA-Z\\u4E00-\\u9FA5\\uF900-\\uFA2D]\\w{2,16}$");
  EXPECT_TRUE(userName.matchesEntireText("学员_01"));
  EXPECT_FALSE(userName.matchesEntireText("_abc"));
  const RegularExpression mobile = compiled("^((13[0-9])|(17[0-9])|(15[^4,\\D])|(18[0,0-9]))\\d{8}$");
  EXPECT_TRUE(mobile.matchesEntireText("15912345678"));
  EXPECT_FALSE(mobile.matchesEntireText("15412345678"));
}

TEST(RegularExpressionTest, ListsEveryMatchAsByteRangesOfTheUtf8Text) {
  const RegularExpression url = compiled("http[s]?:/[/]?(\\w*[-_=&?./:]?)*", CaseSensitivity::kInsensitive);
  const std::string playlist =
      "#EXT-X-KEY:METHOD=AES-128,URI=\"https://keys.example.com/key?id=7&t=1\",IV=0x01\n"
      "#EXTINF:10.0,\n# 课程 \nHTTP://cdn.example.com/a/seg0.ts?sign=ab\n#EXTINF:10.0,\n"
      "http://cdn.example.com/a/seg%201.ts\n";
  EXPECT_EQ(matchedTexts(url, playlist), (std::vector<std::string>{"https://keys.example.com/key?id=7&t=1",
                                                                   "HTTP://cdn.example.com/a/seg0.ts?sign=ab",
                                                                   "http://cdn.example.com/a/seg"}));
  EXPECT_TRUE(compiled("http").matchesInText("HTTP").empty());
}

TEST(RegularExpressionTest, EmptyMatchesAdvanceOneCharacter) {
  EXPECT_EQ(compiled("x*").matchesInText("a中"),
            (std::vector<RegularExpression::Range>{{0, 0}, {1, 0}, {4, 0}}));
}

TEST(RegularExpressionTest, BadPatternIsAnError) {
  const Result<RegularExpression> expression = RegularExpression::make("([a-z]");
  ASSERT_FALSE(expression.ok());
  EXPECT_EQ(expression.error().domain(), "NSCocoaErrorDomain");
  EXPECT_EQ(expression.error().code(), 2048);
  EXPECT_EQ(expression.error().userInfo().at("NSInvalidValue"), Value("([a-z]"));
}

}  // namespace
}  // namespace ns
