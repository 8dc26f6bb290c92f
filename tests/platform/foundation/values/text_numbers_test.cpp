#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/foundation/values/TextNumbers.h"

namespace ns {
namespace {

TEST(TextNumbersTest, IntegersReadTheLeadingNumberAfterBlanks) {
  EXPECT_EQ(intValueOfText("\t\n 42abc"), 42);
  EXPECT_EQ(intValueOfText("-0012"), -12);
  EXPECT_EQ(intValueOfText("+7"), 7);
  EXPECT_EQ(intValueOfText("1e3"), 1);
  EXPECT_EQ(intValueOfText("12.9"), 12);
  for (const char* text : {"", "abc", "- 5", "--5"}) {
    EXPECT_EQ(intValueOfText(text), 0) << text;
  }
}

TEST(TextNumbersTest, IntegersClampToTheirTypesLimits) {
  EXPECT_EQ(intValueOfText("99999999999"), std::numeric_limits<int>::max());
  EXPECT_EQ(intValueOfText("-99999999999"), std::numeric_limits<int>::min());
  EXPECT_EQ(integerValueOfText("99999999999"), 99999999999);
  EXPECT_EQ(integerValueOfText("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(integerValueOfText("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(integerValueOfText("123456789012345678901234567890"), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(integerValueOfText("-123456789012345678901234567890"), std::numeric_limits<std::int64_t>::min());
}

// Hex, infinity and NaN are never read; out of range overflows to infinity and underflows to zero.
TEST(TextNumbersTest, DoublesReadTheLongestLeadingDecimalNumber) {
  EXPECT_EQ(doubleValueOfText("  12.5kg"), 12.5);
  EXPECT_EQ(doubleValueOfText("-3E-2x"), -0.03);
  EXPECT_EQ(doubleValueOfText("+.5"), 0.5);
  EXPECT_EQ(doubleValueOfText("5."), 5.0);
  EXPECT_EQ(doubleValueOfText("2e+"), 2.0);
  for (const char* text : {"", ".", "abc", "0x1A", "inf", "-infinity", "nan", "1e-400", "-1e-400"}) {
    EXPECT_EQ(doubleValueOfText(text), 0.0) << text;
  }
  EXPECT_EQ(doubleValueOfText("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(doubleValueOfText("-1e99999999999999999999"), -std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::signbit(doubleValueOfText("-1e-400")));
}

TEST(TextNumbersTest, BoolsLookAtTheFirstCharacterAfterBlanksSignsAndZeros) {
  for (const char* text : {" yes", "Y", "true", "+t", "00001", "-0012", "  42abc", "1e3"}) {
    EXPECT_TRUE(boolValueOfText(text)) << text;
  }
  for (const char* text : {"0", "000", "", "abc", "no", "false", "0.5"}) {
    EXPECT_FALSE(boolValueOfText(text)) << text;
  }
}

}  // namespace
}  // namespace ns
