#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "http_client/mapping/KVProperty.h"
#include "http_client/mapping/KVPropertyKey.h"

namespace http_client {
namespace {

constexpr KVPropertyKeyType kDict = KVPropertyKeyType::kDictionary;
constexpr KVPropertyKeyType kIndex = KVPropertyKeyType::kArray;

struct KeyPathCase {
  const char* text;
  KVKeyPath steps;
};

class KVKeyPathTest : public testing::TestWithParam<KeyPathCase> {};

TEST_P(KVKeyPathTest, ParsesTheText) {
  EXPECT_EQ(KVProperty::propertyKeysWithStringKey(GetParam().text), GetParam().steps) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, KVKeyPathTest,
    testing::Values(KeyPathCase{"a.b[1].c", {{"a", kDict}, {"b", kDict}, {"1", kIndex}, {"c", kDict}}},
                    KeyPathCase{"list[2][0]", {{"list", kDict}, {"2", kIndex}, {"0", kIndex}}},
                    KeyPathCase{"a.b", {{"a", kDict}, {"b", kDict}}}, KeyPathCase{"name", {{"name", kDict}}},
                    KeyPathCase{"", {}}, KeyPathCase{"a.[0]", {{"a", kDict}, {"0", kIndex}}},
                    // The name inside the brackets is not the leading name, and stays an index.
                    KeyPathCase{"b[1].b", {{"b", kDict}, {"1", kIndex}, {"b", kDict}}},
                    KeyPathCase{"1[1]", {{"1", kDict}, {"1", kIndex}}},
                    // An index that is not a whole number, or text after an index, is no key path at all.
                    KeyPathCase{"list[x]", {}}, KeyPathCase{"list[1.5]", {}}, KeyPathCase{"list[]", {}},
                    KeyPathCase{"a[1]b", {}}, KeyPathCase{"a[1]b[2]", {}}, KeyPathCase{"ab[ab]", {}},
                    KeyPathCase{"list[1", {}}));

TEST(KVPropertyKeyTest, LooksUpEntriesAndElementsWithinRange) {
  const ns::Value five(ns::Array{1, 2, 3, 4, 5});
  const ns::Value dictionary(ns::Dictionary{{"a", 1}});
  struct Case {
    KVPropertyKey step;
    const ns::Value* object;
    const ns::Value* expected;
  };
  const Case cases[] = {
      {KVPropertyKey("4", kIndex), &five, five.element(4)},
      {KVPropertyKey("5", kIndex), &five, nullptr},
      {KVPropertyKey("-1", kIndex), &five, nullptr},
      {KVPropertyKey("a", kDict), &dictionary, dictionary.find("a")},
      {KVPropertyKey("b", kDict), &dictionary, nullptr},
      {KVPropertyKey("0", kIndex), &dictionary, nullptr},
      {KVPropertyKey("a", kDict), &five, nullptr},
      {KVPropertyKey("a", kDict), nullptr, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.step.valueInObject(c.object), c.expected) << c.step.name();
  }
}

}  // namespace
}  // namespace http_client
