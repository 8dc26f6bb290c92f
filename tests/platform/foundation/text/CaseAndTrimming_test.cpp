#include <gtest/gtest.h>

#include "platform/foundation/text/CaseMapping.h"
#include "platform/foundation/text/Trimming.h"

namespace ns {
namespace {

TEST(CaseMappingTest, MapsLettersOfEveryScriptByLanguageNeutralRules) {
  EXPECT_EQ(uppercased("11010519491231002x"), "11010519491231002X");
  EXPECT_EQ(lowercased("DeskTop PC"), "desktop pc");
  EXPECT_EQ(uppercased("straße i"), "STRASSE I");
  EXPECT_EQ(lowercased("ÀÉÎ"), "àéî");
  EXPECT_EQ(uppercased("澜屿考研 v1"), "澜屿考研 V1");
  EXPECT_EQ(uppercased("a\xFF"
                       "b"),
            "A\xFF"
            "B");
}

TEST(TrimmingTest, RemovesWhiteSpaceAndLineEndsAtBothEndsOnly) {
  EXPECT_EQ(trimmingWhitespaceAndNewlines("  \t\n FF0000 \r\n"), "FF0000");
  EXPECT_EQ(trimmingWhitespaceAndNewlines(" a b "), "a b");
  EXPECT_EQ(trimmingWhitespaceAndNewlines("  "), "");
  EXPECT_EQ(trimmingWhitespaceAndNewlines(""), "");
  // Ideographic space, no-break space, next line, line and paragraph separators; not a zero-width space.
  EXPECT_EQ(trimmingWhitespaceAndNewlines("\u3000张三\u00A0"), "张三");
  EXPECT_EQ(trimmingWhitespaceAndNewlines("\u0085x\u2028\u2029"), "x");
  EXPECT_EQ(trimmingWhitespaceAndNewlines("\u200Bx"), "\u200Bx");
}

}  // namespace
}  // namespace ns
