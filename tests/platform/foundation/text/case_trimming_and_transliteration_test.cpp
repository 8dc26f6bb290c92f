#include <gtest/gtest.h>

#include "platform/foundation/text/CaseMapping.h"
#include "platform/foundation/text/Transliteration.h"
#include "platform/foundation/text/Trimming.h"

namespace ns {
namespace {

// Ill-formed bytes pass through unchanged.
TEST(CaseMappingTest, MapsLettersOfEveryScriptByLanguageNeutralRules) {
  EXPECT_EQ(uppercased("straße i 澜屿 \xFFz"), "STRASSE I 澜屿 \xFFZ");
  EXPECT_EQ(lowercased("DeskTop ÀÉÎ"), "desktop àéî");
}

// Ideographic space, no-break space, next line, line and paragraph separators count; a zero-width space not.
TEST(TrimmingTest, RemovesWhiteSpaceAndLineEndsAtBothEndsOnly) {
  EXPECT_EQ(trimmingWhitespaceAndNewlines("  \t\n a b \r\n"), "a b");
  EXPECT_EQ(trimmingWhitespaceAndNewlines("  "), "");
  EXPECT_EQ(trimmingWhitespaceAndNewlines("\u3000张三\u00A0"), "张三");
  EXPECT_EQ(trimmingWhitespaceAndNewlines("\u0085x\u2028\u2029"), "x");
  EXPECT_EQ(trimmingWhitespaceAndNewlines("\u200Bx"), "\u200Bx");
}

TEST(TransliterationTest, ChineseBecomesLatinAndCharactersWithoutLatinFormAreDropped) {
  constexpr std::string_view kToAscii = "Any-Latin; Latin-ASCII; [:^ASCII:] Remove";
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
