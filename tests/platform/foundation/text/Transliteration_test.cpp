#include "platform/foundation/text/Transliteration.h"

#include <gtest/gtest.h>

namespace ns {
namespace {

constexpr std::string_view kToAscii = "Any-Latin; Latin-ASCII; [:^ASCII:] Remove";

TEST(TransliterationTest, ChineseBecomesLatinAndCharactersWithoutLatinFormAreDropped) {
  EXPECT_EQ(transliterate("澜屿考研/1.0 (x86_64; Linux 6.1; Scale/1.00)", kToAscii),
            "lan yu kao yan/1.0 (x86_64; Linux 6.1; Scale/1.00)");
  EXPECT_EQ(transliterate("Café ☃\U0001F600 ok", kToAscii), "Cafe  ok");
}

TEST(TransliterationTest, UnknownTransformGivesNothing) {
  EXPECT_EQ(transliterate("abc", "No-Such-Transform"), std::nullopt);
  EXPECT_EQ(transliterate("abc", "[unclosed"), std::nullopt);
}

}  // namespace
}  // namespace ns
