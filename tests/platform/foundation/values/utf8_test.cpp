#include "platform/foundation/values/Utf8.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ns {
namespace {

std::vector<std::optional<char32_t>> decodeAll(std::string_view text) {
  std::vector<std::optional<char32_t>> codePoints;
  std::size_t position = 0;
  while (position < text.size()) {
    codePoints.push_back(decodeUtf8CodePoint(text, position));
  }
  return codePoints;
}

using Decoded = std::vector<std::optional<char32_t>>;

TEST(Utf8Test, DecodesEveryLength) {
  EXPECT_EQ(decodeAll("aé中😀"), (Decoded{U'a', U'é', U'中', U'😀'}));
  EXPECT_EQ(decodeAll("\xF4\x8F\xBF\xBF"), (Decoded{char32_t{0x10FFFF}}));
}

TEST(Utf8Test, RefusesMalformedSequencesOneByteAtATime) {
  // A stray continuation byte, then a truncated three-byte sequence at the end.
  EXPECT_EQ(decodeAll("\x80"
                      "a\xE4\xB8"),
            (Decoded{std::nullopt, U'a', std::nullopt, std::nullopt}));
  // Overlong forms of "/" and of U+0000.
  EXPECT_EQ(decodeAll("\xC0\xAF"), (Decoded{std::nullopt, std::nullopt}));
  EXPECT_EQ(decodeAll("\xE0\x80\x80"), (Decoded{std::nullopt, std::nullopt, std::nullopt}));
  // A UTF-16 surrogate and a value above U+10FFFF.
  EXPECT_EQ(decodeAll("\xED\xA0\x80").front(), std::nullopt);
  EXPECT_EQ(decodeAll("\xF4\x90\x80\x80").front(), std::nullopt);
  // A lead byte followed by something that is not a continuation byte leaves that byte to be read.
  EXPECT_EQ(decodeAll("\xC3("), (Decoded{std::nullopt, U'('}));
}

TEST(Utf8Test, TellsWellFormedTextFromIllFormed) {
  EXPECT_TRUE(isWellFormedUtf8(""));
  EXPECT_TRUE(isWellFormedUtf8("aé中😀"));
  EXPECT_FALSE(isWellFormedUtf8("$o\xA1\x95ts"));
  EXPECT_FALSE(isWellFormedUtf8("a\xE4\xB8"));
}

}  // namespace
}  // namespace ns
