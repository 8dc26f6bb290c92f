#include <gtest/gtest.h>

#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "platform/foundation/formats/PropertyListSerialization.h"
#include "platform/foundation/formats/format_error_test_util.h"

namespace ns {
namespace {

constexpr PropertyListFormat kBothFormats[] = {PropertyListFormat::kXml, PropertyListFormat::kBinary};

std::string formatName(PropertyListFormat format) {
  return format == PropertyListFormat::kXml ? "XML" : "binary";
}

Result<Value> writtenAndRead(const Value& value, PropertyListFormat format) {
  Result<Data> written = PropertyListSerialization::dataWithPropertyList(value, format);
  if (!written.ok()) {
    return written.error();
  }
  return PropertyListSerialization::propertyListWithData(*written);
}

Value roundTrip(const Value& value, PropertyListFormat format) {
  Result<Value> read = writtenAndRead(value, format);
  EXPECT_TRUE(read.ok()) << read.error().localizedDescription();
  return read.ok() ? std::move(read).value() : Value();
}

// Expects `value` to be refused in both formats with `reason` in the description.
void expectRefused(const Value& value, std::string_view reason) {
  SCOPED_TRACE(describe(value));
  for (PropertyListFormat format : kBothFormats) {
    SCOPED_TRACE(formatName(format));
    testutil::expectFormatError(PropertyListSerialization::dataWithPropertyList(value, format),
                                testutil::kWriteInvalidError, reason);
  }
}

void expectUnreadable(const Data& bytes) {
  testutil::expectFormatError(PropertyListSerialization::propertyListWithData(bytes),
                              testutil::kReadCorruptError);
}

// Kinds survive, not only values: reals stay doubles and booleans stay booleans. A keyed archive's reference
// ({"CF$UID": 1}) stays a dictionary, and scalars may stand at the top level.
TEST(PropertyListSerializationTest, EveryKindRoundTripsInBothFormats) {
  Data bytes(300);
  std::iota(bytes.begin(), bytes.end(), 7);
  const Value everything(Dictionary{
      {"string", "plain <&> text"},
      {"unicode", "努力加载中 😀"},
      {"empty", ""},
      {"integers", Array{0, -1, 255, 65536, std::numeric_limits<std::int64_t>::max(),
                         std::numeric_limits<std::int64_t>::min()}},
      {"reals", Array{0.1, 1.0 / 3.0, 1e300, 3.0}},
      {"bools", Array{true, false}},
      {"data", bytes},
      {"emptyData", Data{}},
      {"nested", Array{Dictionary{{"id", "1"}, {"sub", Array{Dictionary{{"name", "东城区"}}}}}}},
      {"emptyArray", Array{}},
      {"emptyDictionary", Dictionary{}},
      {"$top", Dictionary{{"root", Dictionary{{"CF$UID", 1}}}}},
  });
  for (PropertyListFormat format : kBothFormats) {
    SCOPED_TRACE(formatName(format));
    const Value read = roundTrip(everything, format);
    EXPECT_EQ(read, everything);
    EXPECT_TRUE(read.find("reals")->element(3)->isDouble());
    EXPECT_TRUE(read.find("bools")->element(0)->isBool());
    EXPECT_TRUE(read.find("integers")->element(1)->isInteger());
    EXPECT_EQ(roundTrip(Value("alone"), format), Value("alone"));
    EXPECT_EQ(roundTrip(Value(42), format), Value(42));
  }
}

// Dates before the property lists' 2001 reference date too.
TEST(PropertyListSerializationTest, DatesKeepWholeSecondsInXmlAndFractionsInBinary) {
  EXPECT_EQ(roundTrip(Value(Date(1700000000.25)), PropertyListFormat::kBinary), Value(Date(1700000000.25)));
  EXPECT_EQ(roundTrip(Value(Date(1700000000.25)), PropertyListFormat::kXml), Value(Date(1700000000)));
  EXPECT_EQ(roundTrip(Value(Date(0)), PropertyListFormat::kXml), Value(Date(0)));
  EXPECT_EQ(roundTrip(Value(Date(-86400.5)), PropertyListFormat::kBinary), Value(Date(-86400.5)));
}

TEST(PropertyListSerializationTest, ReadsAHandWrittenXmlDocument) {
  const char* document = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>shortVersion</key> <string>2.3.1</string>
	<key>count</key> <integer>-12</integer>
	<key>ratio</key> <real>0.5</real>
	<key>flag</key> <true/>
	<key>when</key> <date>2001-01-01T00:00:00Z</date>
	<key>bytes</key> <data>aGVsbG8=</data>
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
  for (const auto& [format, header] :
       {std::pair{PropertyListFormat::kBinary, "bplist00"}, std::pair{PropertyListFormat::kXml, "<?xml"}}) {
    Result<Data> written = PropertyListSerialization::dataWithPropertyList(Value(Array{1}), format);
    ASSERT_TRUE(written.ok());
    EXPECT_TRUE(stringFromData(*written).starts_with(header)) << stringFromData(*written);
  }
}

TEST(PropertyListSerializationTest, RefusesNullAndSetsWhereverTheyStand) {
  expectRefused(Value(), "null");
  expectRefused(Value(Dictionary{{"tags", Set{"a"}}}), R"(a set has no property-list form at ["tags"])");
  expectRefused(Value(Dictionary{{"user", Dictionary{{"name", "x"}, {"sid", Value()}}}}),
                R"(null has no property-list form at ["user"]["sid"])");
  expectRefused(Value(Array{1, Array{Value()}}), "[1][0]");
}

// The binary writer would cut text short at a NUL or its first ill-formed byte.
TEST(PropertyListSerializationTest, RefusesWhatLibplistWouldCorrupt) {
  expectRefused(Value(Array{std::string("a\0b", 3)}), "NUL");
  expectRefused(Value(Dictionary{{std::string("k\0", 2), 1}}), "NUL");
  expectRefused(Value(Array{"caf\xE9"}), "a string is not well-formed UTF-8");
  expectRefused(Value(Dictionary{{"$o\xA1\x95ts", 1}}), "a key is not well-formed UTF-8");
  expectRefused(Value(Array{Date(1e10)}), "date");
  expectRefused(Value(Array{Date(-2e9)}), "date");
}

TEST(PropertyListSerializationTest, RefusesBytesThatAreNoPropertyList) {
  for (const std::string& bytes :
       {std::string(), std::string("garbage"), std::string("<plist><dict><key>a</key>"),
        std::string("bplist00\x01\x02", 10), std::string("{\"json\": 1}")}) {
    expectUnreadable(dataFromString(bytes));
  }
}

void appendBigEndian(std::string& bytes, std::uint64_t value, int size) {
  for (int shift = (size - 1) * 8; shift >= 0; shift -= 8) {
    bytes.push_back(static_cast<char>(value >> shift));
  }
}

// A binary document of `objects`, the first the top one, with `width`-byte offsets and object references.
Data binaryDocument(const std::vector<std::string>& objects, int width) {
  std::string document = "bplist00";
  std::string offsets;
  for (const std::string& object : objects) {
    appendBigEndian(offsets, document.size(), width);
    document += object;
  }
  const std::size_t tableOffset = document.size();
  document += offsets + std::string(6, '\0') + static_cast<char>(width) + static_cast<char>(width);
  appendBigEndian(document, objects.size(), 8);
  appendBigEndian(document, 0, 8);
  appendBigEndian(document, tableOffset, 8);
  return dataFromString(document);
}

// libplist aborts the process when asked for a dictionary key whose UTF-16 text holds U+0000, and cuts an
// ASCII one short at a NUL byte.
TEST(PropertyListSerializationTest, RefusesABinaryKeyWithANulInsteadOfAborting) {
  // The dictionary {key: 1}. String objects: 'R' and 'S' are ASCII strings of two and three bytes, 'a' and
  // 'b' UTF-16 strings of one and two units, and '_' an ASCII string whose length follows as an integer.
  const auto dictionary = [](const std::string& key) {
    return binaryDocument({"\xD1\x01\x02", key, "\x10\x01"}, 1);
  };
  const Result<Value> plain = PropertyListSerialization::propertyListWithData(dictionary("Rab"));
  ASSERT_TRUE(plain.ok());
  EXPECT_EQ(*plain, Value(Dictionary{{"ab", 1}}));
  for (const std::string& key : {std::string("a\0\0", 3), std::string("b\0a\0\0", 5), std::string("Sa\0b", 4),
                                 std::string("_\020\002a\0", 5)}) {
    expectUnreadable(dictionary(key));
  }
}

// The top level and 512 more are read, in both formats, whether the innermost is a container or not.
TEST(PropertyListSerializationTest, RefusesNestingBeyondTheLimit) {
  for (const Value& innermost : {Value(Array{}), Value(1)}) {
    for (PropertyListFormat format : kBothFormats) {
      SCOPED_TRACE(formatName(format));
      Value nested = innermost;
      for (int level = 0; level < 512; ++level) {
        nested = Value(Array{nested});
      }
      EXPECT_TRUE(writtenAndRead(nested, format).ok());
      testutil::expectFormatError(writtenAndRead(Value(Array{nested}), format), testutil::kReadCorruptError);
    }
  }
}

// libplist reads binary documents by recursion; nesting like this, under a megabyte, overflowed the stack.
TEST(PropertyListSerializationTest, RefusesADeeplyNestedBinaryDocumentBeforeLibplistRecurses) {
  const auto nestedArrays = [](std::uint32_t levels) {
    std::vector<std::string> objects;
    for (std::uint32_t next = 1; next < levels; ++next) {
      objects.emplace_back("\xA1");
      appendBigEndian(objects.back(), next, 4);
    }
    objects.push_back("\xA0");
    return binaryDocument(objects, 4);
  };
  EXPECT_TRUE(PropertyListSerialization::propertyListWithData(nestedArrays(513)).ok());
  expectUnreadable(nestedArrays(514));
  expectUnreadable(nestedArrays(100000));
}

}  // namespace
}  // namespace ns
