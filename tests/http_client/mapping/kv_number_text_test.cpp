#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <optional>

#include "http_client/mapping/KVDecimalNumber.h"
#include "http_client/mapping/KVNumberParser.h"

namespace http_client {
namespace {

struct NumberCase {
  const char* text;
  std::optional<ns::Value> number;
};

class KVNumberParserTest : public testing::TestWithParam<NumberCase> {};

TEST_P(KVNumberParserTest, ReadsOneFixedGrammar) {
  const std::optional<ns::Value> number = KVNumberParser::numberFromString(GetParam().text);
  ASSERT_EQ(number.has_value(), GetParam().number.has_value()) << GetParam().text;
  if (number) {
    EXPECT_EQ(number->kind(), GetParam().number->kind()) << GetParam().text;
    EXPECT_EQ(*number, *GetParam().number) << GetParam().text;
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, KVNumberParserTest,
                         testing::Values(NumberCase{"12", ns::Value(12)}, NumberCase{"-3", ns::Value(-3)},
                                         NumberCase{"12.5", ns::Value(12.5)}, NumberCase{" 7 ", ns::Value(7)},
                                         NumberCase{"+4", ns::Value(4)}, NumberCase{".5", ns::Value(0.5)},
                                         NumberCase{"1e3", ns::Value(1000.0)}, NumberCase{"1", ns::Value(1)},
                                         NumberCase{"0", ns::Value(0)},
                                         NumberCase{"99999999999999999999", ns::Value(1e20)},
                                         NumberCase{"abc", std::nullopt}, NumberCase{"12,5", std::nullopt},
                                         NumberCase{"1,000", std::nullopt}, NumberCase{"", std::nullopt},
                                         NumberCase{"1e", std::nullopt}, NumberCase{"12abc", std::nullopt},
                                         NumberCase{".", std::nullopt}, NumberCase{"0x10", std::nullopt},
                                         NumberCase{"inf", std::nullopt}));

// Writes "," as the decimal point and "." between thousands, as many languages do.
struct CommaDecimalPoint : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

// A process whose locale writes "," as the decimal point still reads replies, which always write ".".
TEST(KVNumberParserLocaleTest, ReadsThePointWhateverTheLocale) {
  const char* const commaLocales[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR"};
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  for (const char* name : commaLocales) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      break;
    }
  }
  const std::locale previousGlobal =
      std::locale::global(std::locale(std::locale::classic(), new CommaDecimalPoint));
  const std::optional<ns::Value> half = KVNumberParser::numberFromString("12.5");
  const std::optional<ns::Value> comma = KVNumberParser::numberFromString("12,5");
  const std::optional<KVDecimalNumber> decimal = KVDecimalNumber::fromString("0.1");
  std::locale::global(previousGlobal);
  std::setlocale(LC_ALL, previous.c_str());
  ASSERT_TRUE(half.has_value());
  EXPECT_EQ(*half, ns::Value(12.5));
  EXPECT_FALSE(comma.has_value());
  ASSERT_TRUE(decimal.has_value());
  EXPECT_EQ(decimal->description(), "0.1");
}

TEST(KVDecimalNumberTest, KeepsDigitsInBaseTen) {
  struct Case {
    const char* text;
    const char* description;  // nullptr: not a decimal number
  };
  const Case cases[] = {
      {"12.50", "12.5"},
      {"-0.001", "-0.001"},
      {"1.2e3", "1200"},
      {"000", "0"},
      {"-0", "0"},
      {"0.1", "0.1"},
      {"abc", nullptr},
      {"1e200", nullptr},
      {"12345678901234567890123456789012345678901", "12345678901234567890123456789012345678000"}};
  for (const Case& c : cases) {
    const std::optional<KVDecimalNumber> number = KVDecimalNumber::fromString(c.text);
    if (c.description == nullptr) {
      EXPECT_FALSE(number.has_value()) << c.text;
    } else {
      ASSERT_TRUE(number.has_value()) << c.text;
      EXPECT_EQ(number->description(), c.description) << c.text;
    }
  }
}

TEST(KVDecimalNumberTest, ComesFromNumbersAndGoesBackToThem) {
  EXPECT_EQ(KVDecimalNumber::fromNumber(ns::Value(12.5))->description(), "12.5");
  EXPECT_EQ(KVDecimalNumber::fromNumber(ns::Value(-7))->description(), "-7");
  EXPECT_EQ(KVDecimalNumber::fromNumber(ns::Value(true))->description(), "1");
  EXPECT_FALSE(KVDecimalNumber::fromNumber(ns::Value("1")).has_value());
  EXPECT_EQ(KVDecimalNumber::fromString("1200")->numberValue(), ns::Value(1200));
  EXPECT_TRUE(KVDecimalNumber::fromString("1200")->numberValue().isInteger());
  EXPECT_EQ(KVDecimalNumber::fromString("0.25")->numberValue(), ns::Value(0.25));
}

}  // namespace
}  // namespace http_client
