#include "platform/foundation/text/StringEncoding.h"

#include <gtest/gtest.h>

namespace ns {
namespace {

StringEncoding named(std::string_view name) {
  const std::optional<StringEncoding> encoding = StringEncoding::fromIANACharsetName(name);
  EXPECT_TRUE(encoding.has_value()) << name;
  return encoding.value_or(StringEncoding::utf8());
}

TEST(StringEncodingTest, FindsEncodingsByIanaNameOrAliasWithoutRegardToCase) {
  EXPECT_EQ(named("utf-8"), StringEncoding::utf8());
  EXPECT_EQ(named("latin1"), StringEncoding::isoLatin1());
  EXPECT_EQ(named("us-ascii"), StringEncoding::ascii());
  EXPECT_EQ(named("gbk"), named("GBK"));
  EXPECT_EQ(StringEncoding::fromIANACharsetName("x-no-such-charset"), std::nullopt);
  EXPECT_EQ(StringEncoding::fromIANACharsetName(""), std::nullopt);
}

TEST(StringEncodingTest, DecodesGbkAndLatin1BodiesIntoUtf8) {
  const Data body{'{', '"', 'n', '"', ':', '"', 0xC0, 0xBD, 0xD3, 0xEC, 0xBF, 0xBC, 0xD1, 0xD0, '"', '}'};
  EXPECT_EQ(named("GBK").decode(body), "{\"n\":\"澜屿考研\"}");
  EXPECT_EQ(named("gb2312").decode(Data{0xD6, 0xD0, 0xCE, 0xC4}), "中文");
  EXPECT_EQ(named("GBK").decode(Data{}), "");
  EXPECT_EQ(StringEncoding::isoLatin1().decode(Data{'c', 'a', 'f', 0xE9, 0xA0, 0xFF}),
            "caf\u00E9\u00A0\u00FF");
}

// UTF-8 is refused for an ill-formed sequence, an encoded surrogate and a sequence cut off at the end.
TEST(StringEncodingTest, BytesInvalidInTheEncodingDecodeToNothing) {
  for (const Data& bytes : {Data{'a', 0xC3, 0x28}, Data{0xED, 0xA0, 0x80}, Data{'a', 0xE4, 0xB8}}) {
    EXPECT_EQ(StringEncoding::utf8().decode(bytes), std::nullopt);
  }
  EXPECT_EQ(named("GBK").decode(Data{0xD6, 0xD0, 0xCE}), std::nullopt);
  EXPECT_EQ(StringEncoding::ascii().decode(Data{'o', 'k', 0x80}), std::nullopt);
}

TEST(StringEncodingTest, EncodesTextAndRefusesCharactersTheEncodingLacks) {
  EXPECT_EQ(named("GBK").encode("中文"), (Data{0xD6, 0xD0, 0xCE, 0xC4}));
  EXPECT_EQ(StringEncoding::isoLatin1().encode("café"), (Data{'c', 'a', 'f', 0xE9}));
  EXPECT_EQ(StringEncoding::ascii().encode("澜屿考研/0.1"), std::nullopt);
  EXPECT_EQ(StringEncoding::isoLatin1().encode("中"), std::nullopt);
  const std::string text = "澜屿考研 · 2024 \U0001F600";
  for (const char* name : {"UTF-8", "UTF-16", "GB18030"}) {
    EXPECT_EQ(named(name).decode(named(name).encode(text).value_or(Data{})), text) << name;
  }
}

}  // namespace
}  // namespace ns
