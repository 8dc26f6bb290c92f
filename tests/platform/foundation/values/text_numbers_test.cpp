#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/foundation/values/TextNumbers.h"

namespace ns {
namespace {

TEST(TextNumbersTest, IntegersReadTheLeadingNumberAfterBlanks) {
  EXPECT_EQ(intValueOfText("  42abc"), 42);
  EXPECT_EQ(intValueOfText("-0012"), -12);
  EXPECT_EQ(intValueOfText("+7"), 7);
  EXPECT_EQ(intValueOfText("\t\n 9"), 9);
  EXPECT_EQ(intValueOfText("1e3"), 1);
  EXPECT_EQ(intValueOfText("12.9"), 12);
  EXPECT_EQ(intValueOfText(""), 0);
  EXPECT_EQ(intValueOfText("abc"), 0);
  EXPECT_EQ(intValueOfText("- 5"), 0);
  EXPECT_EQ(intValueOfText("--5"), 0);
  EXPECT_EQ(intValueOfText("00001"), 1);
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

TEST(TextNumbersTest, DoublesReadTheLongestLeadingDecimalNumber) {
  EXPECT_EQ(doubleValueOfText("  12.5kg"), 12.5);
  EXPECT_EQ(doubleValueOfText("1e3"), 1000.0);
  EXPECT_EQ(doubleValueOfText("-3E-2x"), -0.03);
  EXPECT_EQ(doubleValueOfText("+.5"), 0.5);
  EXPECT_EQ(doubleValueOfText("5."), 5.0);
  EXPECT_EQ(doubleValueOfText("2e"), 2.0);
  EXPECT_EQ(doubleValueOfText("2e+"), 2.0);
  EXPECT_EQ(doubleValueOfText("-0012"), -12.0);
  EXPECT_EQ(doubleValueOfText(""), 0.0);
  EXPECT_EQ(doubleValueOfText("."), 0.0);
  EXPECT_EQ(doubleValueOfText("abc"), 0.0);
}

TEST(TextNumbersTest, DoublesNeverReadHexInfinityOrNaN) {
  EXPECT_EQ(doubleValueOfText("0x1A"), 0.0);
  EXPECT_EQ(doubleValueOfText("inf"), 0.0);
  EXPECT_EQ(doubleValueOfText("-infinity"), 0.0);
  EXPECT_EQ(doubleValueOfText("nan"), 0.0);
}

TEST(TextNumbersTest, DoublesOutOfRangeOverflowToInfinityAndUnderflowToZero) {
  EXPECT_EQ(doubleValueOfText("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(doubleValueOfText("-1e99999999999999999999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(doubleValueOfText("1e-400"), 0.0);
  EXPECT_EQ(doubleValueOfText("0.0000001e-400"), 0.0);
  const double negativeZero = doubleValueOfText("-1e-400");
  EXPECT_EQ(negativeZero, 0.0);
  EXPECT_TRUE(std::signbit(negativeZero));
}

TEST(TextNumbersTest, BoolsLookAtTheFirstCharacterAfterBlanksSignsAndZeros) {
  EXPECT_TRUE(boolValueOfText(" yes"));
  EXPECT_TRUE(boolValueOfText("Y"));
  EXPECT_TRUE(boolValueOfText("true"));
  EXPECT_TRUE(boolValueOfText("T"));
  EXPECT_TRUE(boolValueOfText("+t"));
  EXPECT_TRUE(boolValueOfText("00001"));
  EXPECT_TRUE(boolValueOfText("-0012"));
  EXPECT_TRUE(boolValueOfText("  42abc"));
  EXPECT_TRUE(boolValueOfText("9"));
  EXPECT_FALSE(boolValueOfText("0"));
  EXPECT_FALSE(boolValueOfText("000"));
  EXPECT_FALSE(boolValueOfText(""));
  EXPECT_FALSE(boolValueOfText("abc"));
  EXPECT_FALSE(boolValueOfText("no"));
  EXPECT_FALSE(boolValueOfText("false"));
  EXPECT_FALSE(boolValueOfText("0.5"));
  EXPECT_TRUE(boolValueOfText("1e3"));
}

}  // namespace
}  // namespace ns
