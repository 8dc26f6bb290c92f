#include "platform/foundation/values/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

#include "platform/foundation/values/Error.h"

namespace ns {
namespace {

// Text literals must not become booleans, nor unsigned numbers or floats anything but numbers.
TEST(ValueTest, KindsFollowTheConstructorArgument) {
  EXPECT_EQ(Value(nullptr).kind(), ValueKind::kNull);
  EXPECT_EQ(Value(7u).kind(), ValueKind::kInteger);
  EXPECT_EQ(Value(2.5f).kind(), ValueKind::kDouble);
  EXPECT_EQ(Value("text").kind(), ValueKind::kString);
  EXPECT_TRUE(Value(true).isNumber());
  EXPECT_FALSE(Value("1").isNumber());
}

// Integers beyond 2^53 are not equal to the double they would round to; containers compare member-wise.
TEST(ValueTest, NumbersCompareByValueAcrossKindsAndOtherKindsOnlyWithTheirOwn) {
  EXPECT_EQ(Value(1), Value(1.0));
  EXPECT_EQ(Value(true), Value(1));
  EXPECT_NE(Value(true), Value(2));
  EXPECT_NE(Value(std::int64_t{9007199254740993}), Value(9007199254740992.0));
  EXPECT_EQ(Value(std::int64_t{9007199254740992}), Value(9007199254740992.0));
  EXPECT_NE(Value(std::numeric_limits<std::int64_t>::max()), Value(0x1p63));
  EXPECT_NE(Value(std::nan("")), Value(std::nan("")));

  EXPECT_EQ(Value(), Value(nullptr));
  EXPECT_NE(Value(), Value(0));
  EXPECT_NE(Value("1"), Value(1));
  EXPECT_NE(Value(Date(5)), Value(5));
  EXPECT_EQ(Value(Array{1, "a", Array{2.0}}), Value(Array{1.0, "a", Array{2}}));
  EXPECT_EQ(Value(Dictionary{{"a", 1}, {"b", Array{true}}}), Value(Dictionary{{"a", 1.0}, {"b", Array{1}}}));
  EXPECT_NE(Value(Dictionary{{"a", 1}}), Value(Dictionary{{"b", 1}}));
  EXPECT_NE(Value(Array{}), Value(Dictionary{}));
}

// A set holds each value once (numbers by value) and equals another set of the same values in any order.
TEST(ValueTest, SetsHoldDistinctValuesAndCompareWithoutOrder) {
  Set set{1, "a", 1.0, true, "b"};
  EXPECT_EQ(set.elements(), (Array{1, "a", "b"}));
  EXPECT_FALSE(set.insert("a"));
  EXPECT_TRUE(set.insert(Array{2}));
  EXPECT_TRUE(set.contains(Array{2.0}));
  EXPECT_EQ(Value(set).kind(), ValueKind::kSet);
  EXPECT_EQ(Value(Set{"b", "a"}), Value(Set{"a", "b", "a"}));
  EXPECT_NE(Value(Set{"a"}), Value(Set{"a", "b"}));
  EXPECT_NE(Value(Set{"a"}), Value(Array{"a"}));
  EXPECT_EQ(describe(Value(Set{1, "a b"})), "{(\n    1,\n    \"a b\"\n)}");
}

// Shared arrays and dictionaries, nested ones too, are copied on the first write.
TEST(ValueTest, CopiesShareContainersUntilOneIsWritten) {
  Value original(Array{1, 2});
  Value copy = original;
  copy.mutableArray().push_back(3);
  EXPECT_EQ(original, Value(Array{1, 2}));
  EXPECT_EQ(copy, Value(Array{1, 2, 3}));

  Value dictionary(Dictionary{{"inner", Dictionary{{"n", 1}}}});
  Value dictionaryCopy = dictionary;
  Value inner = *dictionaryCopy.find("inner");
  dictionaryCopy.mutableDictionary()["inner"].mutableDictionary()["n"] = 2;
  inner.mutableDictionary()["m"] = 3;
  EXPECT_EQ(dictionary, Value(Dictionary{{"inner", Dictionary{{"n", 1}}}}));
  EXPECT_EQ(dictionaryCopy, Value(Dictionary{{"inner", Dictionary{{"n", 2}}}}));
  EXPECT_EQ(inner, Value(Dictionary{{"n", 1}, {"m", 3}}));
}

TEST(ValueTest, CopiesOnOtherThreadsWriteWithoutDisturbingEachOther) {
  const Value shared(Array{0});
  std::vector<Value> results(4);
  {
    std::vector<std::jthread> threads;
    for (Value& result : results) {
      threads.emplace_back([&shared, &result] {
        result = shared;
        for (int i = 0; i < 1000; ++i) {
          result.mutableArray().emplace_back(i);
        }
      });
    }
  }
  EXPECT_EQ(shared.count(), 1u);
  for (const Value& result : results) {
    EXPECT_EQ(result.count(), 1001u);
  }
}

// Out-of-range numbers clamp instead of wrapping; other kinds read as zero or false.
TEST(ValueTest, NumbersAndStringsConvertAsThePlatformDoes) {
  EXPECT_EQ(Value(-3.99).intValue(), -3);
  EXPECT_EQ(Value(" 42abc").intValue(), 42);
  EXPECT_EQ(Value("12.5").doubleValue(), 12.5);
  EXPECT_TRUE(Value(" yes").boolValue());
  EXPECT_TRUE(Value(0.1).boolValue());
  EXPECT_EQ(Value(12).stringValue(), "12");
  EXPECT_EQ(Value(std::int64_t{4294967297}).intValue(), std::numeric_limits<int>::max());
  EXPECT_EQ(Value(-1e30).intValue(), std::numeric_limits<int>::min());
  EXPECT_EQ(Value(1e30).integerValue(), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(Value(std::nan("")).integerValue(), 0);
  EXPECT_EQ(Value(std::nan("")).intValue(), 0);
  EXPECT_EQ(Value(1e300).floatValue(), std::numeric_limits<float>::infinity());
  for (const Value& value :
       {Value(), Value(Data{1}), Value(Date(100)), Value(Array{1}), Value(Dictionary{})}) {
    EXPECT_EQ(value.integerValue(), 0);
    EXPECT_EQ(value.doubleValue(), 0.0);
    EXPECT_FALSE(value.boolValue());
  }
}

TEST(ValueTest, LookupsAnswerNullptrForMissingMembersAndOtherKinds) {
  const Value dictionary(Dictionary{{"obj", Array{"x"}}});
  EXPECT_EQ(dictionary.find("missing"), nullptr);
  EXPECT_EQ(dictionary.element(0), nullptr);
  const Value& array = *dictionary.find("obj");
  EXPECT_EQ(array.element(1), nullptr);
  EXPECT_EQ(array.find("x"), nullptr);
  EXPECT_EQ(Value("text").count(), 0u);
}

TEST(ValueDeathTest, AccessorsOfTheWrongKindAbort) {
  EXPECT_DEATH((void)Value(1).asString(), "asString called on a value of kind integer");
  EXPECT_DEATH((void)Value("x").mutableArray(), "mutableArray called on a value of kind string");
}

TEST(ErrorTest, LocalizedDescriptionPrefersTheUserInfoText) {
  const Error described("Domain", 7, Dictionary{{std::string(kLocalizedDescriptionKey), "Went wrong"}});
  EXPECT_EQ(described.localizedDescription(), "Went wrong");
  EXPECT_EQ(Error("NSCocoaErrorDomain", 3840).localizedDescription(),
            "The operation couldn’t be completed. (NSCocoaErrorDomain error 3840.)");
}

TEST(ErrorTest, EqualityIgnoresTheUnderlyingError) {
  Error outer("Outer", 1);
  outer.setUnderlyingError(Error("Inner", 2));
  ASSERT_NE(outer.underlyingError(), nullptr);
  EXPECT_EQ(outer, Error("Outer", 1));
  EXPECT_NE(outer, Error("Outer", 2));
  EXPECT_NE(outer, Error("Outer", 1, Dictionary{{"k", 1}}));
}

}  // namespace
}  // namespace ns
