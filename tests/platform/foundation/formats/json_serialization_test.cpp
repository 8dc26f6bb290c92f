#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/foundation/formats/JSONSerialization.h"

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

// Expects `text` to be refused as unreadable JSON and returns the error's description.
std::string refusal(std::string_view text) {
  Result<Value> result = JSONSerialization::JSONObjectWithData(text);
  if (result.ok()) {
    ADD_FAILURE() << "accepted: " << text;
    return "";
  }
  EXPECT_EQ(result.error().domain(), "NSCocoaErrorDomain");
  EXPECT_EQ(result.error().code(), 3840);
  return result.error().localizedDescription();
}

TEST(JSONSerializationTest, NestedRepliesRoundTrip) {
  const Value reply = parse(R"({"code":0,"obj":{"chapters":[{"nodeId":"12","isNew":1,"children":[]}]}})");
  EXPECT_EQ(write(reply), R"({"code":0,"obj":{"chapters":[{"children":[],"isNew":1,"nodeId":"12"}]}})");
  EXPECT_EQ(parse(write(reply)), reply);
  EXPECT_EQ(
      reply,
      Value(Dictionary{
          {"code", 0},
          {"obj", Dictionary{{"chapters",
                              Array{Dictionary{{"nodeId", "12"}, {"isNew", 1}, {"children", Array{}}}}}}},
      }));
}

TEST(JSONSerializationTest, KeepsNullBoolsIntegersAndDoublesApart) {
  const Value array = parse("[null, true, false, 1, -1, 1.0, 2.5e3, 0]");
  ASSERT_EQ(array.count(), 8u);
  const ValueKind expected[] = {ValueKind::kNull,    ValueKind::kBool,    ValueKind::kBool,
                                ValueKind::kInteger, ValueKind::kInteger, ValueKind::kDouble,
                                ValueKind::kDouble,  ValueKind::kInteger};
  for (std::size_t i = 0; i < array.count(); ++i) {
    EXPECT_EQ(array.element(i)->kind(), expected[i]) << "element " << i;
  }
  EXPECT_EQ(write(array), "[null,true,false,1,-1,1,2500,0]");
}

TEST(JSONSerializationTest, LargeIntegersStayExactUntilTheyLeaveTheSigned64BitRange) {
  const Value array = parse("[9223372036854775807, -9223372036854775808, 9223372036854775808]");
  EXPECT_TRUE(array.element(0)->isInteger());
  EXPECT_EQ(array.element(0)->asInteger(), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(array.element(1)->asInteger(), std::numeric_limits<std::int64_t>::min());
  ASSERT_TRUE(array.element(2)->isDouble());
  EXPECT_EQ(array.element(2)->asDouble(), 9223372036854775808.0);
  EXPECT_EQ(write(Value(Array{*array.element(0), *array.element(1)})),
            "[9223372036854775807,-9223372036854775808]");
  // A number beyond the double range is refused rather than read as infinity.
  EXPECT_NE(refusal("[1e400]").find("overflow"), std::string::npos);
}

TEST(JSONSerializationTest, UnicodeAndEscapesRoundTrip) {
  const Value array = parse(R"(["正常", "\u6b63\u5e38", "\ud83d\ude00", "a\"b\\c\/d\n\t\u0001", "\u0000x"])");
  EXPECT_EQ(array.element(0)->asString(), "正常");
  EXPECT_EQ(array.element(1)->asString(), "正常");
  EXPECT_EQ(array.element(2)->asString(), "😀");
  EXPECT_EQ(array.element(3)->asString(), "a\"b\\c/d\n\t\x01");
  EXPECT_EQ(array.element(4)->asString(), std::string("\0x", 2));
  EXPECT_EQ(write(array), R"(["正常","正常","😀","a\"b\\c/d\n\t\u0001","\u0000x"])");
  EXPECT_EQ(parse(write(array)), array);
}

TEST(JSONSerializationTest, WritesCompactSortedTextWithShortestDoubles) {
  const Value object(Dictionary{{"b", Array{0.1, 12.5, 3.0, 1e21, -0.0}}, {"a", 1}, {"c", Dictionary{}}});
  EXPECT_EQ(write(object), R"({"a":1,"b":[0.1,12.5,3,1e+21,-0],"c":{}})");
  const double third = 1.0 / 3.0;
  EXPECT_EQ(parse(write(Value(Array{third}))).element(0)->asDouble(), third);
}

TEST(JSONSerializationTest, ReadsFromDataAndSkipsAByteOrderMark) {
  EXPECT_EQ(*JSONSerialization::JSONObjectWithData(dataFromString("\xEF\xBB\xBF[1]")), Value(Array{1}));
}

TEST(JSONSerializationTest, LastDuplicateKeyWins) {
  EXPECT_EQ(parse(R"({"a":1,"a":2})"), Value(Dictionary{{"a", 2}}));
}

TEST(JSONSerializationTest, RefusesTopLevelScalars) {
  for (const char* text : {"5", "\"text\"", "null", "true", " 1.5 "}) {
    EXPECT_NE(refusal(text).find("neither an array nor an object"), std::string::npos) << text;
  }
}

TEST(JSONSerializationTest, RefusesBrokenJSONSayingWhatAndWhere) {
  const std::string truncated = refusal("{\"a\": [1, 2");
  EXPECT_NE(truncated.find("line 1, column 12"), std::string::npos) << truncated;
  const std::string literal = refusal("[tru]");
  EXPECT_NE(literal.find("invalid literal"), std::string::npos) << literal;
  EXPECT_NE(refusal("[1]\n[2]").find("line 2"), std::string::npos);
  for (const char* text :
       {"", "  ", "[1,]", "{'a':1}", "{\"a\" 1}", "[01]", "[NaN]", "[\"\\ud800\"]", "[1] x"}) {
    refusal(text);
  }
}

TEST(JSONSerializationTest, RefusesInvalidUtf8) {
  const std::string description = refusal("[\"a\xff\"]");
  EXPECT_NE(description.find("UTF-8"), std::string::npos) << description;
  refusal("[\"\xC0\xAF\"]");
}

TEST(JSONSerializationTest, RefusesNestingBeyondTheLimit) {
  const std::string deepest(512, '[');
  EXPECT_TRUE(JSONSerialization::JSONObjectWithData(deepest + std::string(512, ']')).ok());
  const std::string description = refusal(std::string(100000, '[') + std::string(100000, ']'));
  EXPECT_NE(description.find("nested"), std::string::npos) << description;
}

TEST(JSONSerializationTest, WritingRefusesWhatJSONCannotHold) {
  const auto refusedWrite = [](const Value& value) {
    Result<Data> result = JSONSerialization::dataWithJSONObject(value);
    if (result.ok()) {
      ADD_FAILURE() << "written: " << stringFromData(*result);
      return std::string();
    }
    EXPECT_EQ(result.error().domain(), "NSCocoaErrorDomain");
    EXPECT_EQ(result.error().code(), 3852);
    return result.error().localizedDescription();
  };
  EXPECT_NE(refusedWrite(Value(5)).find("top-level"), std::string::npos);
  EXPECT_NE(refusedWrite(Value("text")).find("top-level"), std::string::npos);
  EXPECT_NE(refusedWrite(Value(Dictionary{{"list", Array{1, Data{1}}}})).find(R"(at ["list"][1])"),
            std::string::npos);
  EXPECT_NE(refusedWrite(Value(Array{Date(0)})).find("date"), std::string::npos);
  EXPECT_NE(refusedWrite(Value(Array{std::nan("")})).find("NaN"), std::string::npos);
  EXPECT_NE(refusedWrite(Value(Array{std::numeric_limits<double>::infinity()})).find("infinite"),
            std::string::npos);
  EXPECT_NE(refusedWrite(Value(Array{std::string("\xC3")})).find("UTF-8"), std::string::npos);
  EXPECT_NE(refusedWrite(Value(Dictionary{{std::string("k\xff"), 1}})).find("UTF-8"), std::string::npos);
}

}  // namespace
}  // namespace ns
