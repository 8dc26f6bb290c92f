#include <gtest/gtest.h>

#include "app/helpers/TRValidate.h"

namespace {

TEST(TRValidateTest, IdentityCardCheckCharacter) {
  EXPECT_TRUE(TRValidate::validateIdentityCardNo("123456789012345677"));
  EXPECT_TRUE(TRValidate::validateIdentityCardNo("111111111111111110"));
  EXPECT_TRUE(TRValidate::validateIdentityCardNo("11010519900301009X"));
  EXPECT_TRUE(TRValidate::validateIdentityCardNo("11010519900301009x"));

  EXPECT_FALSE(TRValidate::validateIdentityCardNo("123456789012345678"));
  EXPECT_FALSE(TRValidate::validateIdentityCardNo("11111111111111111"));
  EXPECT_FALSE(TRValidate::validateIdentityCardNo("1111111111111111100"));
  EXPECT_FALSE(TRValidate::validateIdentityCardNo("1111111a1111111110"));
  EXPECT_FALSE(TRValidate::validateIdentityCardNo(""));
  // A sign or a blank is no digit, though a number scan would read past it.
  EXPECT_FALSE(TRValidate::validateIdentityCardNo("+11111111111111110"));
  EXPECT_FALSE(TRValidate::validateIdentityCardNo(" 11111111111111110"));
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
  EXPECT_TRUE(TRValidate::validateRealName("林知远"));
  EXPECT_TRUE(TRValidate::validateRealName("Li"));
  EXPECT_FALSE(TRValidate::validateRealName("林"));
  EXPECT_FALSE(TRValidate::validateRealName("Li Lei"));
  EXPECT_FALSE(TRValidate::validateRealName("林Li"));
  EXPECT_FALSE(TRValidate::validateRealName(std::string(21, 'a')));
  EXPECT_FALSE(TRValidate::validateRealName(""));
}

TEST(TRValidateTest, PatternChecksMatchTheWholeText) {
  EXPECT_TRUE(TRValidate::validateMobile("13800138000"));
  EXPECT_TRUE(TRValidate::validateMobile("15912345678"));
  EXPECT_FALSE(TRValidate::validateMobile("15412345678"));
  EXPECT_FALSE(TRValidate::validateMobile("1380013800"));
  EXPECT_FALSE(TRValidate::validateMobile("12800138000"));

  EXPECT_TRUE(TRValidate::validateEmail("learner@example.com"));
  EXPECT_FALSE(TRValidate::validateEmail("learner@example"));
  EXPECT_FALSE(TRValidate::validateEmail("learner@example.com "));

  EXPECT_TRUE(TRValidate::validateUserName("learner"));
  EXPECT_TRUE(TRValidate::validateUserName("书山学海"));
  EXPECT_FALSE(TRValidate::validateUserName("_learner"));
  EXPECT_FALSE(TRValidate::validateUserName("ab"));

  EXPECT_TRUE(TRValidate::validatePassword("quill2016"));
  EXPECT_FALSE(TRValidate::validatePassword("short"));
  EXPECT_FALSE(TRValidate::validatePassword("with space1"));
  EXPECT_FALSE(TRValidate::validatePassword(std::string(17, 'a')));
}

}  // namespace
