#include <gtest/gtest.h>

#include "http_client/mapping/KVModel.h"
#include "kv_test_models.h"

namespace http_client {
namespace {

TEST(KVKeyValuesTest, AModelGivesItsValuesWithNestedModelsAsDictionaries) {
  kvtest::Scalars model;
  model.ratio = 0.5;
  model.count = -3;
  model.flag = true;
  model.text = "课";
  model.link = ns::URL::fromString("http://example.com/x");
  model.price = KVDecimalNumber::fromString("19.90");
  model.address = std::make_shared<kvtest::Address>();
  model.address->city = "Xi'an";
  const ns::Value expected(ns::Dictionary{
      {"ratio", 0.5},
      {"count", -3},
      {"flag", true},
      {"big", 0},
      {"small", 0},
      {"views", 0},
      {"real", 0.0},
      {"text", "课"},
      {"anything", nullptr},
      {"list", ns::Array{}},
      {"info", ns::Dictionary{}},
      {"link", "http://example.com/x"},
      {"price", 19.9},
      {"address", ns::Dictionary{{"city", "Xi'an"}, {"zip", 0}}},
  });
  EXPECT_EQ(ns::Value(*kv_keyValues(model)), expected);
  EXPECT_FALSE(kv_error<kvtest::Scalars>().has_value());
}

TEST(KVKeyValuesTest, ArraysOfModelsBecomeArraysOfDictionaries) {
  kvtest::Order order;
  order.orderId = "A1";
  order.items = {std::make_shared<kvtest::Item>(), std::make_shared<kvtest::Item>()};
  order.items[0]->title = "pen";
  order.items[1]->quantity = 4;
  EXPECT_EQ(ns::Value(*kv_keyValuesWithKeys(order, {"orderId", "items"}, {})),
            ns::Value(ns::Dictionary{{"orderId", "A1"},
                                     {"items", ns::Array{ns::Dictionary{{"title", "pen"}, {"quantity", 0}},
                                                         ns::Dictionary{{"title", ""}, {"quantity", 4}}}}}));
  EXPECT_EQ(ns::Value(*kv_keyValuesWithKeys(order, {}, {"items", "gifts", "notes"})),
            ns::Value(ns::Dictionary{{"orderId", "A1"}}));
}

TEST(KVKeyValuesTest, TheArrayFormAppliesBothLists) {
  auto first = std::make_shared<kvtest::Person>();
  first->name = "Qian";
  first->age = 30;
  const std::vector<std::shared_ptr<kvtest::Person>> people = {first, first};
  const ns::Value onlyName(ns::Dictionary{{"name", "Qian"}});
  EXPECT_EQ(ns::Value(*kv_keyValuesArrayWithObjectArray(people, {"name", "age"}, {"age"})),
            ns::Value(ns::Array{onlyName, onlyName}));
  EXPECT_EQ(ns::Value(*kv_keyValuesArrayWithObjectArray(people, {}, {"age"})),
            ns::Value(ns::Array{onlyName, onlyName}));
}

TEST(KVKeyValuesTest, PlatformObjectsAreNoModels) {
  const KVObject text(ns::Value("plain text"));
  const KVObject result = kv_keyValuesWithKeys(text, {}, {});
  ASSERT_NE(result.value(), nullptr);
  EXPECT_EQ(*result.value(), ns::Value("plain text"));
  KVClass& stringClass = KVClass::platformClass("NSString");
  ASSERT_TRUE(stringClass.kv_error().has_value());
  EXPECT_EQ(stringClass.kv_error()->domain(), "不是自定义的模型类");
  EXPECT_EQ(stringClass.kv_error()->code(), 250);

  const std::optional<ns::Array> mixed =
      kv_keyValuesArrayWithObjectArray(ns::Value(ns::Array{1, "a"}), {}, {});
  ASSERT_TRUE(mixed.has_value());
  EXPECT_EQ(ns::Value(*mixed), ns::Value(ns::Array{1, "a"}));

  EXPECT_FALSE(kv_keyValuesArrayWithObjectArray(ns::Value("not an array"), {}, {}).has_value());
  ASSERT_TRUE(KVClass::rootClass().kv_error().has_value());
  EXPECT_EQ(KVClass::rootClass().kv_error()->domain(), "objectArray参数不是一个数组");
}

struct Stored {
  std::string a;
  std::string b;
  static constexpr const char* kvClassName = "KVTestStored";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Stored, a), QM_KV_PROPERTY(Stored, b)};
  }
  // Both properties want to store under "slot": the second finds text where it needs a container.
  static KVKeyDictionary kv_replacedKeyFromPropertyName() { return {{"a", {"slot"}}, {"b", {"slot.inner"}}}; }
  void kv_objectDidFinishConvertingToKeyValues() const { ++finishedCount; }
  static inline int finishedCount = 0;
};

TEST(KVKeyValuesTest, AKeyPathThatCannotBeStoredIsRecordedAndTheRestIsKept) {
  Stored model;
  model.a = "first";
  model.b = "second";
  const int finishedBefore = Stored::finishedCount;
  EXPECT_EQ(ns::Value(*kv_keyValues(model)), ns::Value(ns::Dictionary{{"slot", "first"}}));
  ASSERT_TRUE(kv_error<Stored>().has_value());
  EXPECT_EQ(kv_error<Stored>()->code(), 250);
  EXPECT_EQ(Stored::finishedCount, finishedBefore + 1);
}

TEST(KVKeyValuesTest, JSONFormsOfModelsAndTexts) {
  auto person = std::make_shared<kvtest::Person>();
  person->name = "Zhou";
  person->age = 3;
  EXPECT_EQ(kv_JSONString(kvModelObject(person)),
            std::optional<std::string>("{\"age\":3,\"name\":\"Zhou\"}"));
  EXPECT_EQ(kv_JSONString(ns::Value("as it is")), std::optional<std::string>("as it is"));
  EXPECT_EQ(kv_JSONData(ns::Value("ab")), std::optional<ns::Data>(ns::dataFromString("ab")));
  EXPECT_FALSE(kv_JSONString(ns::Value(5)).has_value());
}

}  // namespace
}  // namespace http_client
