#include <gtest/gtest.h>

#include "http_client/mapping/KVClass.h"
#include "http_client/mapping/KVFoundation.h"
#include "http_client/mapping/KVPropertyType.h"
#include "kv_test_models.h"

namespace http_client {
namespace {

struct TypeCase {
  const char* code;
  const char* expectedCode;
  bool idType;
  bool numberType;
  bool boolType;
  const char* typeClass;  // nullptr: none
  bool fromFoundation;
  bool kvcDisabled;
};

class KVPropertyTypeTest : public testing::TestWithParam<TypeCase> {};

TEST_P(KVPropertyTypeTest, ClassifiesTheCode) {
  kvClassOf<kvtest::Address>();
  const TypeCase& expected = GetParam();
  const KVPropertyType& type = KVPropertyType::cachedTypeWithCode(expected.code);
  EXPECT_EQ(type.code(), expected.expectedCode);
  EXPECT_EQ(type.idType(), expected.idType);
  EXPECT_EQ(type.numberType(), expected.numberType);
  EXPECT_EQ(type.boolType(), expected.boolType);
  EXPECT_EQ(type.typeClass(), expected.typeClass != nullptr ? KVClass::named(expected.typeClass) : nullptr);
  EXPECT_EQ(type.fromFoundation(), expected.fromFoundation);
  EXPECT_EQ(type.KVCDisabled(), expected.kvcDisabled);
  EXPECT_EQ(&type, &KVPropertyType::cachedTypeWithCode(expected.code)) << "one shared type per code";
}

INSTANTIATE_TEST_SUITE_P(
    Codes, KVPropertyTypeTest,
    testing::Values(
        TypeCase{"Q", "Q", false, true, false, nullptr, false, false},
        TypeCase{"d", "d", false, true, false, nullptr, false, false},
        TypeCase{"B", "B", false, true, true, nullptr, false, false},
        TypeCase{"c", "c", false, true, true, nullptr, false, false},
        TypeCase{"C", "C", false, true, true, nullptr, false, false},
        TypeCase{"i", "i", false, true, false, nullptr, false, false},
        TypeCase{"@", "@", true, false, false, nullptr, false, false},
        TypeCase{":", ":", false, false, false, nullptr, false, true},
        TypeCase{"", "", false, false, false, nullptr, false, true},
        TypeCase{"^{objc_ivar=}", "^{objc_ivar=}", false, false, false, nullptr, false, true},
        TypeCase{"@\"NSString\"", "NSString", false, false, false, "NSString", true, false},
        TypeCase{"@\"NSNumber\"", "NSNumber", false, true, false, "NSNumber", true, false},
        TypeCase{"@\"NSDecimalNumber\"", "NSDecimalNumber", false, true, false, "NSDecimalNumber", true,
                 false},
        TypeCase{"@\"KVTestAddress\"", "KVTestAddress", false, false, false, "KVTestAddress", false, false},
        TypeCase{"@\"NoSuchClass\"", "NoSuchClass", false, false, false, nullptr, false, false},
        // A protocol after the class name still names the class.
        TypeCase{"@\"NSString<NSCopying>\"", "NSString", false, false, false, "NSString", true, false},
        TypeCase{"@\"KVTestAddress<KVCoding,NSCopying>\"", "KVTestAddress", false, false, false,
                 "KVTestAddress", false, false}));

struct FoundationCase {
  const char* className;
  bool fromFoundation;
};

class KVFoundationTest : public testing::TestWithParam<FoundationCase> {};

TEST_P(KVFoundationTest, TellsPlatformClassesFromModels) {
  kvClassOf<kvtest::Address>();
  EXPECT_EQ(KVFoundation::isClassFromFoundation(KVClass::named(GetParam().className)),
            GetParam().fromFoundation);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, KVFoundationTest,
    testing::Values(FoundationCase{"NSObject", true}, FoundationCase{"NSMutableArray", true},
                    FoundationCase{"NSDecimalNumber", true}, FoundationCase{"NSNumber", true},
                    FoundationCase{"NSURL", true}, FoundationCase{"NSMutableString", true},
                    FoundationCase{"NSSet", false}, FoundationCase{"NSMutableSet", false},
                    FoundationCase{"NSNull", false}, FoundationCase{"KVTestAddress", false}));

TEST(KVFoundationTest, NoClassIsNoPlatformClass) {
  EXPECT_FALSE(KVFoundation::isClassFromFoundation(nullptr));
}

}  // namespace
}  // namespace http_client
