#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/helpers/TRValidate.h"

namespace app {

namespace {

// Runs `check` over texts it must accept and texts it must refuse.
void expectVerdicts(bool (*check)(std::string_view), const std::vector<std::string>& accepted,
                    const std::vector<std::string>& refused) {
  for (const std::string& text : accepted) {
    EXPECT_TRUE(check(text)) << "refused: \"" << text << '"';
  }
  for (const std::string& text : refused) {
    EXPECT_FALSE(check(text)) << "accepted: \"" << text << '"';
  }
}

TEST(TRValidateTest, IdentityCardCheckCharacter) {
  // A sign or a blank is no digit, though a number scan would read past it.
  expectVerdicts(TRValidate::validateIdentityCardNo,
                 {"123456789012345677", "111111111111111110", "11010519900301009X", "11010519900301009x"},
                 {"123456789012345678", "11111111111111111", "1111111111111111100", "1111111a1111111110", "",
                  "+11111111111111110", " 11111111111111110"});
}

TEST(TRValidateTest, ValidateStringNeverGivesAMissingText) {
  const ns::Value five(5);
  const ns::Value blanks("  ");
  const ns::Value padded(" a ");
  const ns::Value null;
  EXPECT_EQ(TRValidate::validateString(&five), "5");
  EXPECT_EQ(TRValidate::validateString(&blanks), "");
  EXPECT_EQ(TRValidate::validateString(&padded), " a ");
  EXPECT_EQ(TRValidate::validateString(&null), "");
  EXPECT_EQ(TRValidate::validateString(nullptr), "");
  EXPECT_TRUE(TRValidate::validateBlankString(nullptr));
  EXPECT_TRUE(TRValidate::validateBlankString(&null));
  EXPECT_TRUE(TRValidate::validateBlankString(&blanks));
  EXPECT_FALSE(TRValidate::validateBlankString(&padded));
  EXPECT_FALSE(TRValidate::validateBlankString(&five));
}

TEST(TRValidateTest, RealNamesAreLatinOrCjkOfTwoToTwenty) {
  expectVerdicts(TRValidate::validateRealName, {"林知远", "Li"},
                 {"林", "Li Lei", "林Li", std::string(21, 'a'), ""});
}

TEST(TRValidateTest, PatternChecksMatchTheWholeText) {
  expectVerdicts(TRValidate::validateMobile, {"13800138000", "15912345678", "18012345678", "18912345678"},
                 {"15412345678", "1380013800", "12800138000", "18,12345678", "15,12345678"});
  expectVerdicts(TRValidate::validateEmail, {"learner@example.com"},
                 {"learner@example", "learner@example.com "});
  expectVerdicts(TRValidate::validateUserName, {"learner", "书山学海"}, {"_learner", "ab"});
  expectVerdicts(TRValidate::validatePassword, {"quill2016"}, {"short", "with space1", std::string(17, 'a')});
}

}  // namespace

}  // namespace app
