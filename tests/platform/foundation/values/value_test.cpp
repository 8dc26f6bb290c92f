#include "platform/foundation/values/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

namespace ns {
namespace {

TEST(ValueTest, KindsFollowTheConstructorArgument) {
  EXPECT_EQ(Value().kind(), ValueKind::kNull);
  EXPECT_EQ(Value(nullptr).kind(), ValueKind::kNull);
  EXPECT_EQ(Value(true).kind(), ValueKind::kBool);
  EXPECT_EQ(Value(7).kind(), ValueKind::kInteger);
  EXPECT_EQ(Value(7u).kind(), ValueKind::kInteger);
  EXPECT_EQ(Value(2.5).kind(), ValueKind::kDouble);
  EXPECT_EQ(Value(2.5f).kind(), ValueKind::kDouble);
  EXPECT_EQ(Value("text").kind(), ValueKind::kString);
  EXPECT_EQ(Value(Data{1, 2}).kind(), ValueKind::kData);
  EXPECT_EQ(Value(Date(0)).kind(), ValueKind::kDate);
  EXPECT_EQ(Value(Array{}).kind(), ValueKind::kArray);
  EXPECT_EQ(Value(Dictionary{}).kind(), ValueKind::kDictionary);
  EXPECT_TRUE(Value(true).isNumber());
  EXPECT_FALSE(Value("1").isNumber());
}

TEST(ValueTest, NumbersCompareByValueAcrossKinds) {
  EXPECT_EQ(Value(1), Value(1.0));
  EXPECT_EQ(Value(true), Value(1));
  EXPECT_EQ(Value(false), Value(0.0));
  EXPECT_NE(Value(1), Value(1.5));
  EXPECT_NE(Value(true), Value(2));
  // Integers beyond 2^53 are not equal to the double they would round to.
  EXPECT_NE(Value(std::int64_t{9007199254740993}), Value(9007199254740992.0));
  EXPECT_EQ(Value(std::int64_t{9007199254740992}), Value(9007199254740992.0));
  EXPECT_NE(Value(std::numeric_limits<std::int64_t>::max()), Value(0x1p63));
  EXPECT_NE(Value(std::nan("")), Value(std::nan("")));
}

TEST(ValueTest, OtherKindsCompareOnlyWithTheSameKind) {
  EXPECT_EQ(Value(), Value(nullptr));
  EXPECT_NE(Value(), Value(0));
  EXPECT_NE(Value("1"), Value(1));
  EXPECT_EQ(Value("a"), Value(std::string("a")));
  EXPECT_EQ(Value(Data{1, 2}), Value(Data{1, 2}));
  EXPECT_NE(Value(Data{1, 2}), Value(Data{1}));
  EXPECT_EQ(Value(Date(5)), Value(Date(5)));
  EXPECT_NE(Value(Date(5)), Value(5));
  EXPECT_EQ(Value(Array{1, "a", Array{2.0}}), Value(Array{1.0, "a", Array{2}}));
  EXPECT_NE(Value(Array{1}), Value(Array{1, 2}));
  EXPECT_EQ(Value(Dictionary{{"a", 1}, {"b", Array{true}}}), Value(Dictionary{{"a", 1.0}, {"b", Array{1}}}));
  EXPECT_NE(Value(Dictionary{{"a", 1}}), Value(Dictionary{{"b", 1}}));
  EXPECT_NE(Value(Array{}), Value(Dictionary{}));
}

TEST(ValueTest, CopiesShareArraysUntilOneIsWritten) {
  Value original(Array{1, 2});
  Value copy = original;
  EXPECT_EQ(&original.asArray(), &copy.asArray());

  copy.mutableArray().push_back(3);
  EXPECT_EQ(original, Value(Array{1, 2}));
  EXPECT_EQ(copy, Value(Array{1, 2, 3}));
  EXPECT_NE(&original.asArray(), &copy.asArray());

  // A sole owner writes in place.
  const Array* contents = &copy.asArray();
  copy.mutableArray().push_back(4);
  EXPECT_EQ(&copy.asArray(), contents);
}

TEST(ValueTest, CopiesShareDictionariesUntilOneIsWritten) {
  Value original(Dictionary{{"inner", Dictionary{{"n", 1}}}});
  Value copy = original;
  Value inner = *copy.find("inner");
  copy.mutableDictionary()["inner"].mutableDictionary()["n"] = 2;
  inner.mutableDictionary()["m"] = 3;

  EXPECT_EQ(original, Value(Dictionary{{"inner", Dictionary{{"n", 1}}}}));
  EXPECT_EQ(copy, Value(Dictionary{{"inner", Dictionary{{"n", 2}}}}));
  EXPECT_EQ(inner, Value(Dictionary{{"n", 1}, {"m", 3}}));
}

TEST(ValueTest, CopiesOnOtherThreadsWriteWithoutDisturbingEachOther) {
  const Value shared(Array{0});
  std::vector<std::thread> threads;
  std::vector<Value> results(4);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&shared, &results, t] {
      Value mine = shared;
      for (int i = 0; i < 1000; ++i) {
        mine.mutableArray().emplace_back(t);
      }
      results[t] = mine;
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(shared.count(), 1u);
  for (const Value& result : results) {
    EXPECT_EQ(result.count(), 1001u);
  }
}

TEST(ValueTest, NumbersAndStringsConvertAsThePlatformDoes) {
  EXPECT_EQ(Value(3.99).intValue(), 3);
  EXPECT_EQ(Value(-3.99).intValue(), -3);
  EXPECT_EQ(Value(true).intValue(), 1);
  EXPECT_EQ(Value(" 42abc").intValue(), 42);
  EXPECT_EQ(Value("12.5").doubleValue(), 12.5);
  EXPECT_EQ(Value(7).doubleValue(), 7.0);
  EXPECT_EQ(Value(2.5).floatValue(), 2.5f);
  EXPECT_TRUE(Value(" yes").boolValue());
  EXPECT_TRUE(Value(0.1).boolValue());
  EXPECT_FALSE(Value(0).boolValue());
  EXPECT_EQ(Value("abc").stringValue(), "abc");
  EXPECT_EQ(Value(12).stringValue(), "12");
}

TEST(ValueTest, OutOfRangeNumbersClampInsteadOfWrapping) {
  EXPECT_EQ(Value(std::int64_t{4294967297}).intValue(), std::numeric_limits<int>::max());
  EXPECT_EQ(Value(-1e30).intValue(), std::numeric_limits<int>::min());
  EXPECT_EQ(Value(1e30).integerValue(), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(Value(std::nan("")).integerValue(), 0);
  EXPECT_EQ(Value(1e300).floatValue(), std::numeric_limits<float>::infinity());
}

TEST(ValueTest, OtherKindsConvertToZeroOrFalse) {
  for (const Value& value :
       {Value(), Value(Data{1}), Value(Date(100)), Value(Array{1}), Value(Dictionary{})}) {
    EXPECT_EQ(value.intValue(), 0);
    EXPECT_EQ(value.integerValue(), 0);
    EXPECT_EQ(value.doubleValue(), 0.0);
    EXPECT_FALSE(value.boolValue());
  }
}

TEST(ValueTest, LookupsAnswerNullptrForMissingMembersAndOtherKinds) {
  const Value dictionary(Dictionary{{"code", 0}, {"obj", Array{"x"}}});
  ASSERT_NE(dictionary.find("code"), nullptr);
  EXPECT_EQ(*dictionary.find("code"), Value(0));
  EXPECT_EQ(dictionary.find("missing"), nullptr);
  EXPECT_EQ(dictionary.element(0), nullptr);
  EXPECT_EQ(dictionary.count(), 2u);

  const Value& array = *dictionary.find("obj");
  ASSERT_NE(array.element(0), nullptr);
  EXPECT_EQ(*array.element(0), Value("x"));
  EXPECT_EQ(array.element(1), nullptr);
  EXPECT_EQ(array.find("x"), nullptr);
  EXPECT_EQ(Value("text").count(), 0u);
}

TEST(ValueDeathTest, AccessorsOfTheWrongKindAbort) {
  EXPECT_DEATH((void)Value(1).asString(), "asString called on a value of kind integer");
  EXPECT_DEATH((void)Value("x").mutableArray(), "mutableArray called on a value of kind string");
}

}  // namespace
}  // namespace ns
