#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "http_client/mapping/KVModel.h"
#include "kv_test_models.h"

namespace http_client {
namespace {

using kvtest::Scalars;

struct FillCase {
  const char* what;
  ns::Dictionary keyValues;
  std::function<void(const Scalars&)> check;
};

TEST(KVObjectWithKeyValuesTest, ConvertsEachValueForItsProperty) {
  const std::vector<FillCase> cases = {
      {"text for a double", {{"ratio", "12.5"}}, [](const Scalars& m) { EXPECT_EQ(m.ratio, 12.5); }},
      {"text for an int", {{"count", "3"}}, [](const Scalars& m) { EXPECT_EQ(m.count, 3); }},
      {"true for a bool", {{"flag", "true"}}, [](const Scalars& m) { EXPECT_TRUE(m.flag); }},
      {"YES for a bool", {{"flag", "YES"}}, [](const Scalars& m) { EXPECT_TRUE(m.flag); }},
      {"True for a bool", {{"flag", "True"}}, [](const Scalars& m) { EXPECT_TRUE(m.flag); }},
      {"1 for a bool", {{"flag", "1"}}, [](const Scalars& m) { EXPECT_TRUE(m.flag); }},
      {"number for a bool", {{"flag", 2}}, [](const Scalars& m) { EXPECT_TRUE(m.flag); }},
      {"text for a char", {{"small", "yes"}}, [](const Scalars& m) { EXPECT_EQ(m.small, 1); }},
      {"letters for an int", {{"count", "abc"}}, [](const Scalars& m) { EXPECT_EQ(m.count, 0); }},
      {"fraction for an int", {{"count", 12.7}}, [](const Scalars& m) { EXPECT_EQ(m.count, 12); }},
      {"negative fraction for an int", {{"count", -2.9}}, [](const Scalars& m) { EXPECT_EQ(m.count, -2); }},
      {"too large for a byte", {{"small", 300}}, [](const Scalars& m) { EXPECT_EQ(m.small, 255); }},
      {"negative for an unsigned", {{"views", -5}}, [](const Scalars& m) { EXPECT_EQ(m.views, 0u); }},
      {"beyond signed for an unsigned",
       {{"views", "18446744073709551615"}},
       [](const Scalars& m) { EXPECT_EQ(m.views, 18446744073709551615u); }},
      {"large integer for an unsigned",
       {{"views", 9007199254740993}},
       [](const Scalars& m) { EXPECT_EQ(m.views, 9007199254740993u); }},
      {"text for a float", {{"real", "-0.5"}}, [](const Scalars& m) { EXPECT_EQ(m.real, -0.5f); }},
      {"integer for a string", {{"text", 10}}, [](const Scalars& m) { EXPECT_EQ(m.text, "10"); }},
      {"fraction for a string", {{"text", 12.5}}, [](const Scalars& m) { EXPECT_EQ(m.text, "12.5"); }},
      {"true for a string", {{"text", true}}, [](const Scalars& m) { EXPECT_EQ(m.text, "1"); }},
      {"string for a string", {{"text", "0012"}}, [](const Scalars& m) { EXPECT_EQ(m.text, "0012"); }},
      {"array for a string", {{"text", ns::Array{1}}}, [](const Scalars& m) { EXPECT_EQ(m.text, ""); }},
      {"string for an array", {{"list", "[1]"}}, [](const Scalars& m) { EXPECT_TRUE(m.list.empty()); }},
      {"array for an array",
       {{"list", ns::Array{1, "a"}}},
       [](const Scalars& m) {
         EXPECT_EQ(m.list, (ns::Array{1, "a"}));
       }},
      {"anything for a value",
       {{"anything", ns::Dictionary{{"k", 1}}}},
       [](const Scalars& m) {
         EXPECT_EQ(m.anything, ns::Value(ns::Dictionary{{"k", 1}}));
       }},
      {"text for a number object",
       {{"amount", "2.5"}},
       [](const Scalars& m) { EXPECT_EQ(m.amount, std::optional<double>(2.5)); }},
      {"number for a number object",
       {{"amount", 4}},
       [](const Scalars& m) { EXPECT_EQ(m.amount, std::optional<double>(4)); }},
      {"text for a decimal number",
       {{"price", "0.10"}},
       [](const Scalars& m) { EXPECT_EQ(m.price->description(), "0.1"); }},
      // A number is the same amount as a decimal number, never dropped.
      {"number for a decimal number",
       {{"price", 12.5}},
       [](const Scalars& m) {
         ASSERT_TRUE(m.price.has_value());
         EXPECT_EQ(m.price->description(), "12.5");
       }},
      {"text for a URL",
       {{"link", "http://example.com/a b"}},
       [](const Scalars& m) { EXPECT_EQ(m.link->absoluteString(), "http://example.com/a%20b"); }},
      {"number for a URL", {{"link", 5}}, [](const Scalars& m) { EXPECT_FALSE(m.link.has_value()); }},
      {"dictionary for a nested model",
       {{"address", ns::Dictionary{{"city", "Hangzhou"}, {"zip", "310000"}}}},
       [](const Scalars& m) {
         ASSERT_NE(m.address, nullptr);
         EXPECT_EQ(m.address->city, "Hangzhou");
         EXPECT_EQ(m.address->zip, 310000);
       }},
      {"JSON text for a nested model",
       {{"address", "{\"city\":\"Ningbo\"}"}},
       [](const Scalars& m) { EXPECT_EQ(m.address->city, "Ningbo"); }},
      {"number for a nested model",
       {{"address", 3}},
       [](const Scalars& m) { EXPECT_EQ(m.address, nullptr); }},
  };
  for (const FillCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::shared_ptr<Scalars> model = kv_objectWithKeyValues<Scalars>(ns::Value(c.keyValues));
    ASSERT_NE(model, nullptr);
    c.check(*model);
  }
}

TEST(KVObjectWithKeyValuesTest, NoAndFalseMakeABoolFalse) {
  for (const char* text : {"no", "NO", "false", "False", "0"}) {
    Scalars model;
    model.flag = true;
    kv_setKeyValues(model, ns::Value(ns::Dictionary{{"flag", text}}));
    EXPECT_FALSE(model.flag) << text;
  }
}

TEST(KVObjectWithKeyValuesTest, MissingKeysAndNullsLeaveThePropertyAsItWas) {
  Scalars model;
  model.count = 7;
  model.text = "kept";
  model.address = std::make_shared<kvtest::Address>();
  kv_setKeyValues(model, ns::Value(ns::Dictionary{{"text", nullptr}, {"address", nullptr}}));
  EXPECT_EQ(model.count, 7);
  EXPECT_EQ(model.text, "kept");
  EXPECT_NE(model.address, nullptr);
  EXPECT_FALSE(kv_error<Scalars>().has_value());
}

TEST(KVObjectWithKeyValuesTest, AValueThatCannotReachAScalarIsRecordedAndTheOthersStillMap) {
  const std::shared_ptr<Scalars> model = kv_objectWithKeyValues<Scalars>(
      ns::Value(ns::Dictionary{{"count", ns::Dictionary{{"a", 1}}}, {"ratio", 2.5}}));
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->count, 0);
  EXPECT_EQ(model->ratio, 2.5);
  ASSERT_TRUE(kv_error<Scalars>().has_value());
  EXPECT_EQ(kv_error<Scalars>()->code(), kKVErrorCode);
  EXPECT_EQ(kv_error<Scalars>()->domain(), "a dictionary cannot be assigned to an integer");
}

TEST(KVObjectWithKeyValuesTest, InputsThatGiveNoDictionaryGiveNoModel) {
  const ns::Value inputs[] = {ns::Value(ns::Array{ns::Dictionary{}}), ns::Value("[1,2]"),
                              ns::Value("{broken"), ns::Value(5), ns::Value()};
  for (const ns::Value& input : inputs) {
    EXPECT_EQ(kv_objectWithKeyValues<Scalars>(input), nullptr) << ns::describe(input);
    ASSERT_TRUE(kv_error<Scalars>().has_value());
    EXPECT_EQ(kv_error<Scalars>()->domain(), "keyValues参数不是一个字典");
    EXPECT_EQ(kv_error<Scalars>()->code(), 250);
  }
  Scalars model;
  model.count = 4;
  kv_setKeyValues(model, ns::Value(ns::Array{}));
  EXPECT_EQ(model.count, 4);
  EXPECT_EQ(kv_error<Scalars>()->domain(), "keyValues参数不是一个字典");
}

TEST(KVObjectWithKeyValuesTest, JSONTextAndDataMapLikeTheDictionary) {
  const char* text = "{\"count\":3,\"text\":\"课程\"}";
  for (const ns::Value& input : {ns::Value(text), ns::Value(ns::dataFromString(text))}) {
    const std::shared_ptr<Scalars> model = kv_objectWithKeyValues<Scalars>(input);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->count, 3);
    EXPECT_EQ(model->text, "课程");
    EXPECT_FALSE(kv_error<Scalars>().has_value()) << "a success clears the error";
  }
}

TEST(KVObjectWithKeyValuesTest, AModelGivenAsInputIsCopied) {
  auto original = std::make_shared<Scalars>();
  original->count = 9;
  original->address = std::make_shared<kvtest::Address>();
  original->address->city = "Suzhou";
  const std::shared_ptr<Scalars> copy = kv_objectWithKeyValues<Scalars>(kvModelObject(original));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->count, 9);
  ASSERT_NE(copy->address, nullptr);
  EXPECT_NE(copy->address, original->address);
  EXPECT_EQ(copy->address->city, "Suzhou");
}

TEST(KVObjectArrayWithKeyValuesArrayTest, MapsTheDictionariesOnlyInTheirOrder) {
  const ns::Value input(ns::Array{ns::Dictionary{{"title", "a"}}, nullptr, 3, "x",
                                  ns::Dictionary{{"title", "b"}}, "{\"title\":\"c\"}"});
  const std::optional<std::vector<std::shared_ptr<kvtest::Item>>> items =
      kv_objectArrayWithKeyValuesArray<kvtest::Item>(input);
  ASSERT_TRUE(items.has_value());
  ASSERT_EQ(items->size(), 3u);
  EXPECT_EQ((*items)[0]->title, "a");
  EXPECT_EQ((*items)[1]->title, "b");
  EXPECT_EQ((*items)[2]->title, "c");
}

TEST(KVObjectArrayWithKeyValuesArrayTest, NestedArraysStayNestedInTheObjectForm) {
  const KVObject made = kv_objectArrayWithKeyValuesArray(
      kvClassOf<kvtest::Item>(),
      ns::Value(ns::Array{ns::Value(ns::Array{ns::Dictionary{{"title", "inner"}}, 5})}));
  ASSERT_NE(made.objectArray(), nullptr);
  ASSERT_EQ(made.objectArray()->size(), 1u);
  const KVObjectArray* inner = made.objectArray()->front().objectArray();
  ASSERT_NE(inner, nullptr);
  ASSERT_EQ(inner->size(), 1u);
  EXPECT_EQ(static_cast<kvtest::Item*>(inner->front().model()->object.get())->title, "inner");
}

TEST(KVObjectArrayWithKeyValuesArrayTest, InputsThatGiveNoArrayGiveNothing) {
  for (const ns::Value& input : {ns::Value(ns::Dictionary{}), ns::Value("{}"), ns::Value("oops")}) {
    EXPECT_FALSE(kv_objectArrayWithKeyValuesArray<kvtest::Item>(input).has_value()) << ns::describe(input);
    ASSERT_TRUE(kv_error<kvtest::Item>().has_value());
    EXPECT_EQ(kv_error<kvtest::Item>()->domain(), "keyValuesArray参数不是一个数组");
  }
}

TEST(KVObjectArrayWithKeyValuesArrayTest, APlatformClassGivesTheArrayUnchanged) {
  const ns::Value input(ns::Array{1, "a", nullptr});
  const KVObject made = kv_objectArrayWithKeyValuesArray(KVClass::platformClass("NSString"), input);
  ASSERT_NE(made.value(), nullptr);
  EXPECT_EQ(*made.value(), input);
}

}  // namespace
}  // namespace http_client
