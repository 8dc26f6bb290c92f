// Strict percent-decoding, as URL paths and file names need it.

#include <gtest/gtest.h>

#include "platform/net/PercentEscaping.h"

namespace {

TEST(PercentDecodingTest, DecodesEscapesOfEitherCase) {
  EXPECT_EQ(ns::percentDecode("a%20b%2fc%2F"), "a b/c/");
  EXPECT_EQ(ns::percentDecode("%E4%b8%AD"), "\xe4\xb8\xad");
  EXPECT_EQ(ns::percentDecode("plain+text"), "plain+text") << "'+' is the form decoder's business";
  EXPECT_EQ(ns::percentDecode(""), "");
}

TEST(PercentDecodingTest, RefusesABrokenEscape) {
  EXPECT_EQ(ns::percentDecode("a%zz"), std::nullopt);
  EXPECT_EQ(ns::percentDecode("a%2"), std::nullopt);
  EXPECT_EQ(ns::percentDecode("%"), std::nullopt);
  EXPECT_EQ(ns::percentDecode("%%41"), std::nullopt);
}

TEST(PercentDecodingTest, LeavesRefusingNulToTheCaller) {
  EXPECT_EQ(ns::percentDecode("a%00b"), std::string("a\0b", 3));
}

TEST(PercentDecodingTest, ReadsOnlyTheEscapeAtTheStart) {
  EXPECT_EQ(ns::leadingPercentEscape("%41BC"), 'A');
  EXPECT_EQ(ns::leadingPercentEscape("A%41"), std::nullopt);
  EXPECT_EQ(ns::leadingPercentEscape("%4"), std::nullopt);
  EXPECT_EQ(ns::leadingPercentEscape("%4g"), std::nullopt);
}

}  // namespace
