#include "platform/foundation/values/Utf8.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ns {
namespace {

using Decoded = std::vector<std::optional<char32_t>>;

Decoded decodeAll(std::string_view text) {
  Decoded codePoints;
  std::size_t position = 0;
  while (position < text.size()) {
    codePoints.push_back(decodeUtf8CodePoint(text, position));
  }
  return codePoints;
}

TEST(Utf8Test, DecodesEveryLength) {
  EXPECT_EQ(decodeAll("aé中😀\xF4\x8F\xBF\xBF"), (Decoded{U'a', U'é', U'中', U'😀', char32_t{0x10FFFF}}));
  EXPECT_TRUE(isWellFormedUtf8(""));
  EXPECT_TRUE(isWellFormedUtf8("aé中😀"));
}

// Each byte of a malformed sequence is refused on its own; a byte that breaks a sequence is read afresh.
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
  EXPECT_EQ(decodeAll("\xC3("), (Decoded{std::nullopt, U'('}));
  EXPECT_FALSE(isWellFormedUtf8("$o\xA1\x95ts"));
  EXPECT_FALSE(isWellFormedUtf8("a\xE4\xB8"));
}

}  // namespace
}  // namespace ns
