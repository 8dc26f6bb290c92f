#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/formats/format_error_test_util.h"

namespace ns {
namespace {

Value parse(std::string_view text) {
  Result<Value> result = JSONSerialization::JSONObjectWithData(text);
  EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error().localizedDescription());
  return result.ok() ? std::move(result).value() : Value();
}

std::string write(const Value& value) {
  Result<Data> result = JSONSerialization::dataWithJSONObject(value);
  EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error().localizedDescription());
  return result.ok() ? stringFromData(*result) : std::string();
}

void expectUnreadable(std::string_view text, std::string_view reason = "") {
  SCOPED_TRACE(text);
  testutil::expectFormatError(JSONSerialization::JSONObjectWithData(text), testutil::kReadCorruptError,
                              reason);
}

TEST(JSONSerializationTest, NestedRepliesRoundTrip) {
  const Value reply = parse(R"({"code":0,"obj":{"chapters":[{"nodeId":"12","isNew":1,"children":[]}]}})");
  EXPECT_EQ(write(reply), R"({"code":0,"obj":{"chapters":[{"children":[],"isNew":1,"nodeId":"12"}]}})");
  EXPECT_EQ(parse(write(reply)), reply);
}

// Integers stay exact until they leave the signed 64-bit range; beyond the double range is an error.
TEST(JSONSerializationTest, KeepsNullBoolsIntegersAndDoublesApart) {
  const Value array =
      parse("[null, false, 0, 1.0, 2.5e3, 9223372036854775807, -9223372036854775808, 9223372036854775808]");
  const ValueKind expected[] = {ValueKind::kNull,    ValueKind::kBool,   ValueKind::kInteger,
                                ValueKind::kDouble,  ValueKind::kDouble, ValueKind::kInteger,
                                ValueKind::kInteger, ValueKind::kDouble};
  ASSERT_EQ(array.count(), std::size(expected));
  for (std::size_t i = 0; i < array.count(); ++i) {
    EXPECT_EQ(array.element(i)->kind(), expected[i]) << "element " << i;
  }
  EXPECT_EQ(write(array),
            "[null,false,0,1,2500,9223372036854775807,-9223372036854775808,9.223372036854776e+18]");
  expectUnreadable("[1e400]", "overflow");  // rather than read as infinity
}

// The written text shows what was read: escapes decoded, a NUL kept, non-ASCII written as UTF-8.
TEST(JSONSerializationTest, UnicodeAndEscapesRoundTrip) {
  const Value array = parse(R"(["正常", "\u6b63\u5e38", "\ud83d\ude00", "a\"b\\c\/d\n\t\u0001", "\u0000x"])");
  EXPECT_EQ(write(array), R"(["正常","正常","😀","a\"b\\c/d\n\t\u0001","\u0000x"])");
  EXPECT_EQ(parse(write(array)), array);
}

TEST(JSONSerializationTest, WritesCompactSortedTextWithShortestDoubles) {
  const Value object(Dictionary{{"b", Array{0.1, 12.5, 3.0, 1e21, -0.0}}, {"a", 1}, {"c", Dictionary{}}});
  EXPECT_EQ(write(object), R"({"a":1,"b":[0.1,12.5,3,1e+21,-0],"c":{}})");
  const double third = 1.0 / 3.0;
  EXPECT_EQ(parse(write(Value(Array{third}))).element(0)->asDouble(), third);
}

TEST(JSONSerializationTest, PrettyPrintingPutsEachMemberOnAnIndentedLine) {
  const Value object(
      Dictionary{{"b", Array{1, Dictionary{{"c", "x"}}}}, {"a", Array{}}, {"d", Dictionary{}}});
  const Result<Data> pretty = JSONSerialization::dataWithJSONObject(object, kJSONWritingPrettyPrinted);
  ASSERT_TRUE(pretty.ok());
  EXPECT_EQ(stringFromData(*pretty),
            "{\n"
            "  \"a\" : [],\n"
            "  \"b\" : [\n"
            "    1,\n"
            "    {\n"
            "      \"c\" : \"x\"\n"
            "    }\n"
            "  ],\n"
            "  \"d\" : {}\n"
            "}");
  EXPECT_EQ(parse(stringFromData(*pretty)), object);
}

TEST(JSONSerializationTest, SkipsAByteOrderMarkAndTheLastDuplicateKeyWins) {
  EXPECT_EQ(*JSONSerialization::JSONObjectWithData(dataFromString("\xEF\xBB\xBF[1]")), Value(Array{1}));
  EXPECT_EQ(parse(R"({"a":1,"a":2})"), Value(Dictionary{{"a", 2}}));
}

TEST(JSONSerializationTest, RefusesTopLevelScalarsUnlessFragmentsAreAllowed) {
  for (const char* text : {"5", "\"text\"", "null", "true", " 1.5 "}) {
    expectUnreadable(text, "neither an array nor an object");
  }
  const std::pair<std::string_view, Value> fragments[] = {{"5", Value(5)},
                                                          {"\"text\"", Value("text")},
                                                          {"null", Value()},
                                                          {" 1.5 ", Value(1.5)},
                                                          {"[2]", Value(Array{2})}};
  for (const auto& [text, value] : fragments) {
    const Result<Value> read = JSONSerialization::JSONObjectWithData(text, kJSONReadingFragmentsAllowed);
    ASSERT_TRUE(read.ok()) << text;
    EXPECT_EQ(*read, value) << text;
  }
  testutil::expectFormatError(JSONSerialization::JSONObjectWithData("5 6", kJSONReadingFragmentsAllowed),
                              testutil::kReadCorruptError, "");
}

TEST(JSONSerializationTest, RefusesBrokenJSONSayingWhatAndWhere) {
  expectUnreadable("{\"a\": [1, 2", "line 1, column 12");
  expectUnreadable("[tru]", "invalid literal");
  expectUnreadable("[1]\n[2]", "line 2");
  expectUnreadable("[\"a\xff\"]", "UTF-8");
  for (const char* text : {"", "  ", "[1,]", "{'a':1}", "{\"a\" 1}", "[01]", "[NaN]", "[\"\\ud800\"]",
                           "[1] x", "[\"\xC0\xAF\"]"}) {
    expectUnreadable(text);
  }
}

TEST(JSONSerializationTest, RefusesNestingBeyondTheLimit) {
  EXPECT_TRUE(JSONSerialization::JSONObjectWithData(std::string(512, '[') + std::string(512, ']')).ok());
  expectUnreadable(std::string(100000, '[') + std::string(100000, ']'), "nested");
}

TEST(JSONSerializationTest, WritingRefusesWhatJSONCannotHold) {
  const std::pair<Value, std::string> cases[] = {
      {Value(5), "top-level"},
      {Value("text"), "top-level"},
      {Value(Dictionary{{"list", Array{1, Data{1}}}}), R"(at ["list"][1])"},
      {Value(Array{Date(0)}), "date"},
      {Value(Array{Set{1}}), "set"},
      {Value(Array{std::nan("")}), "NaN"},
      {Value(Array{std::numeric_limits<double>::infinity()}), "infinite"},
      {Value(Array{std::string("\xC3")}), "UTF-8"},
      {Value(Dictionary{{std::string("k\xff"), 1}}), "UTF-8"},
  };
  for (const auto& [value, reason] : cases) {
    SCOPED_TRACE(describe(value));
    testutil::expectFormatError(JSONSerialization::dataWithJSONObject(value), testutil::kWriteInvalidError,
                                reason);
  }
}

}  // namespace
}  // namespace ns
