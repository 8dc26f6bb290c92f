#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "platform/foundation/formats/PropertyListSerialization.h"

namespace ns {
namespace {

constexpr PropertyListFormat kBothFormats[] = {PropertyListFormat::kXml, PropertyListFormat::kBinary};

std::string formatName(PropertyListFormat format) {
  return format == PropertyListFormat::kXml ? "XML" : "binary";
}

Value roundTrip(const Value& value, PropertyListFormat format) {
  Result<Data> written = PropertyListSerialization::dataWithPropertyList(value, format);
  if (!written.ok()) {
    ADD_FAILURE() << written.error().localizedDescription();
    return Value();
  }
  Result<Value> read = PropertyListSerialization::propertyListWithData(*written);
  if (!read.ok()) {
    ADD_FAILURE() << read.error().localizedDescription();
    return Value();
  }
  return std::move(read).value();
}

// Expects `value` to be refused in both formats and returns the XML refusal's description.
std::string refusal(const Value& value) {
  std::string description;
  for (PropertyListFormat format : kBothFormats) {
    Result<Data> result = PropertyListSerialization::dataWithPropertyList(value, format);
    if (result.ok()) {
      ADD_FAILURE() << formatName(format) << " written: " << stringFromData(*result);
      continue;
    }
    EXPECT_EQ(result.error().domain(), "NSCocoaErrorDomain");
    EXPECT_EQ(result.error().code(), 3852);
    description = result.error().localizedDescription();
  }
  return description;
}

TEST(PropertyListSerializationTest, EveryKindRoundTripsInBothFormats) {
  Data bytes(300);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7);
  }
  const Value everything(Dictionary{
      {"string", "plain <&> text"},
      {"unicode", "努力加载中 😀"},
      {"empty", ""},
      {"integers", Array{0, 1, -1, 255, 65536, std::numeric_limits<std::int64_t>::max(),
                         std::numeric_limits<std::int64_t>::min()}},
      {"reals", Array{0.1, -2.5, 1.0 / 3.0, 1e300, 3.0}},
      {"bools", Array{true, false}},
      {"data", bytes},
      {"emptyData", Data{}},
      {"date", Date(1700000000)},
      {"nested",
       Array{Dictionary{{"id", "1"}, {"sub", Array{Dictionary{{"id", "11"}, {"name", "东城区"}}}}}}},
      {"emptyArray", Array{}},
      {"emptyDictionary", Dictionary{}},
  });
  for (PropertyListFormat format : kBothFormats) {
    const Value read = roundTrip(everything, format);
    EXPECT_EQ(read, everything) << formatName(format);
    // Kinds survive, not only values: reals stay doubles and booleans stay booleans.
    EXPECT_TRUE(read.find("reals")->element(4)->isDouble()) << formatName(format);
    EXPECT_TRUE(read.find("bools")->element(0)->isBool()) << formatName(format);
    EXPECT_TRUE(read.find("integers")->element(1)->isInteger()) << formatName(format);
  }
}

TEST(PropertyListSerializationTest, ScalarsMayStandAtTheTopLevel) {
  for (PropertyListFormat format : kBothFormats) {
    EXPECT_EQ(roundTrip(Value("alone"), format), Value("alone"));
    EXPECT_EQ(roundTrip(Value(42), format), Value(42));
  }
}

TEST(PropertyListSerializationTest, DatesKeepWholeSecondsInXmlAndFractionsInBinary) {
  const Date date(1700000000.25);
  EXPECT_EQ(roundTrip(Value(date), PropertyListFormat::kBinary).asDate(), date);
  EXPECT_EQ(roundTrip(Value(date), PropertyListFormat::kXml).asDate(), Date(1700000000));
  // Before the property lists' 2001 reference date too.
  EXPECT_EQ(roundTrip(Value(Date(0)), PropertyListFormat::kXml).asDate(), Date(0));
  EXPECT_EQ(roundTrip(Value(Date(-86400.5)), PropertyListFormat::kBinary).asDate(), Date(-86400.5));
}

TEST(PropertyListSerializationTest, ReadsAHandWrittenXmlDocument) {
  const char* document = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>shortVersion</key>
	<string>2.3.1</string>
	<key>count</key>
	<integer>-12</integer>
	<key>ratio</key>
	<real>0.5</real>
	<key>flag</key>
	<true/>
	<key>when</key>
	<date>2001-01-01T00:00:00Z</date>
	<key>bytes</key>
	<data>aGVsbG8=</data>
</dict>
</plist>
)";
  Result<Value> read = PropertyListSerialization::propertyListWithData(dataFromString(document));
  ASSERT_TRUE(read.ok()) << read.error().localizedDescription();
  EXPECT_EQ(*read, Value(Dictionary{{"shortVersion", "2.3.1"},
                                    {"count", -12},
                                    {"ratio", 0.5},
                                    {"flag", true},
                                    {"when", Date(978307200)},
                                    {"bytes", dataFromString("hello")}}));
}

TEST(PropertyListSerializationTest, BinaryDocumentsStartWithTheBinaryHeader) {
  Result<Data> binary =
      PropertyListSerialization::dataWithPropertyList(Value(Array{1}), PropertyListFormat::kBinary);
  ASSERT_TRUE(binary.ok());
  EXPECT_EQ(stringFromData(*binary).substr(0, 8), "bplist00");
  Result<Data> xml =
      PropertyListSerialization::dataWithPropertyList(Value(Array{1}), PropertyListFormat::kXml);
  ASSERT_TRUE(xml.ok());
  EXPECT_EQ(stringFromData(*xml).substr(0, 5), "<?xml");
}

TEST(PropertyListSerializationTest, KeyedArchiveReferencesKeepTheirForm) {
  const Value archive(Dictionary{{"$top", Dictionary{{"root", Dictionary{{"CF$UID", 1}}}}}});
  for (PropertyListFormat format : kBothFormats) {
    EXPECT_EQ(roundTrip(archive, format), archive) << formatName(format);
  }
}

TEST(PropertyListSerializationTest, RefusesNullWhereverItStands) {
  EXPECT_NE(refusal(Value()).find("null"), std::string::npos);
  const std::string nested =
      refusal(Value(Dictionary{{"user", Dictionary{{"name", "x"}, {"sid", Value()}}}}));
  EXPECT_NE(nested.find(R"(null has no property-list form at ["user"]["sid"])"), std::string::npos) << nested;
  EXPECT_NE(refusal(Value(Array{1, Array{Value()}})).find("[1][0]"), std::string::npos);
}

TEST(PropertyListSerializationTest, RefusesWhatLibplistWouldCorrupt) {
  EXPECT_NE(refusal(Value(Array{std::string("a\0b", 3)})).find("NUL"), std::string::npos);
  EXPECT_NE(refusal(Value(Dictionary{{std::string("k\0", 2), 1}})).find("NUL"), std::string::npos);
  // The binary writer would cut such text short at its first ill-formed byte.
  EXPECT_NE(refusal(Value(Array{"caf\xE9"})).find("a string is not well-formed UTF-8"), std::string::npos);
  EXPECT_NE(refusal(Value(Dictionary{{"$o\xA1\x95ts", 1}})).find("a key is not well-formed UTF-8"),
            std::string::npos);
  EXPECT_NE(refusal(Value(Array{Date(1e10)})).find("date"), std::string::npos);
  EXPECT_NE(refusal(Value(Array{Date(-2e9)})).find("date"), std::string::npos);
}

TEST(PropertyListSerializationTest, RefusesBytesThatAreNoPropertyList) {
  for (const std::string& bytes :
       {std::string(), std::string("garbage"), std::string("<plist><dict><key>a</key>"),
        std::string("bplist00\x01\x02", 10), std::string("{\"json\": 1}")}) {
    Result<Value> result = PropertyListSerialization::propertyListWithData(dataFromString(bytes));
    ASSERT_FALSE(result.ok()) << bytes;
    EXPECT_EQ(result.error().domain(), "NSCocoaErrorDomain");
    EXPECT_EQ(result.error().code(), 3840);
  }
}

// A binary document of the one-entry dictionary {key: 1}, its key spelled as the string object `keyObject`.
Data binaryDictionary(const std::string& keyObject) {
  std::string document = "bplist00";
  const std::size_t dictionaryOffset = document.size();
  document += "\xD1\x01\x02";  // one entry: the key is object 1, the value object 2
  const std::size_t keyOffset = document.size();
  document += keyObject;
  const std::size_t valueOffset = document.size();
  document += "\x10\x01";  // the integer 1
  const std::size_t tableOffset = document.size();
  document +=
      {static_cast<char>(dictionaryOffset), static_cast<char>(keyOffset), static_cast<char>(valueOffset)};
  document += std::string(6, '\0') + "\x01\x01";  // one-byte offsets and object references
  document += std::string(7, '\0') + "\x03";      // three objects
  document += std::string(8, '\0');               // the top object is object 0
  document += std::string(7, '\0') + static_cast<char>(tableOffset);
  return dataFromString(document);
}

// libplist aborts the process when asked for a dictionary key whose UTF-16 text holds U+0000, and cuts an
// ASCII one short at a NUL byte.
TEST(PropertyListSerializationTest, RefusesABinaryKeyWithANulInsteadOfAborting) {
  // String objects: 'R' and 'S' (0x52, 0x53) are ASCII strings of two and three bytes, 'a' and 'b' (0x61,
  // 0x62) UTF-16 strings of one and two units, and '_' (0x5F) an ASCII string whose length follows as an
  // integer object (0x10: one byte).
  const Result<Value> plain = PropertyListSerialization::propertyListWithData(binaryDictionary("Rab"));
  ASSERT_TRUE(plain.ok());
  EXPECT_EQ(*plain, Value(Dictionary{{"ab", 1}}));
  for (const std::string& key : {std::string("a\0\0", 3), std::string("b\0a\0\0", 5), std::string("Sa\0b", 4),
                                 std::string("_\020\002a\0", 5)}) {
    const Result<Value> read = PropertyListSerialization::propertyListWithData(binaryDictionary(key));
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().code(), 3840);
  }
}

// `wrappings` arrays around `innermost`.
Value nested(Value innermost, int wrappings) {
  for (int i = 0; i < wrappings; ++i) {
    innermost = Value(Array{innermost});
  }
  return innermost;
}

TEST(PropertyListSerializationTest, RefusesNestingBeyondTheLimit) {
  // The top level and 512 more are read, in both formats, whether the innermost is a container or not.
  for (const Value& innermost : {Value(Array{}), Value(1)}) {
    for (PropertyListFormat format : kBothFormats) {
      const Result<Data> atLimit =
          PropertyListSerialization::dataWithPropertyList(nested(innermost, 512), format);
      EXPECT_TRUE(PropertyListSerialization::propertyListWithData(*atLimit).ok()) << formatName(format);
      const Result<Data> beyond =
          PropertyListSerialization::dataWithPropertyList(nested(innermost, 513), format);
      const Result<Value> read = PropertyListSerialization::propertyListWithData(*beyond);
      ASSERT_FALSE(read.ok()) << formatName(format);
      EXPECT_EQ(read.error().code(), 3840);
    }
  }
}

// A binary document of `levels` arrays, each holding the next, with four-byte offsets and references.
Data binaryNestedArrays(std::uint32_t levels) {
  const auto bigEndian = [](std::string& bytes, std::uint64_t value, int width) {
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8) {
      bytes.push_back(static_cast<char>(value >> shift));
    }
  };
  std::string document = "bplist00";
  std::string offsets;
  for (std::uint32_t i = 0; i < levels; ++i) {
    bigEndian(offsets, document.size(), 4);
    document.push_back(i + 1 < levels ? '\xA1' : '\xA0');
    if (i + 1 < levels) {
      bigEndian(document, i + 1, 4);
    }
  }
  const std::size_t tableOffset = document.size();
  document += offsets;
  document += std::string(6, '\0') + "\x04\x04";
  bigEndian(document, levels, 8);
  bigEndian(document, 0, 8);
  bigEndian(document, tableOffset, 8);
  return dataFromString(document);
}

// libplist reads nested binary documents by recursion; this one, under a megabyte, overflowed the stack.
TEST(PropertyListSerializationTest, RefusesADeeplyNestedBinaryDocumentBeforeLibplistRecurses) {
  EXPECT_TRUE(PropertyListSerialization::propertyListWithData(binaryNestedArrays(513)).ok());
  for (const std::uint32_t levels : {514u, 100000u}) {
    const Result<Value> read = PropertyListSerialization::propertyListWithData(binaryNestedArrays(levels));
    ASSERT_FALSE(read.ok()) << levels;
    EXPECT_EQ(read.error().code(), 3840);
  }
}

}  // namespace
}  // namespace ns
