#include <gtest/gtest.h>

#include <limits>
#include <numeric>

#include "platform/foundation/values/Value.h"

namespace ns {
namespace {

TEST(DescribeTest, ScalarsAndDoublesUseThePlatformsText) {
  EXPECT_EQ(describe(Value(std::numeric_limits<std::int64_t>::min())), "-9223372036854775808");
  EXPECT_EQ(describe(Value(true)), "1");
  EXPECT_EQ(describe(Value(false)), "0");
  EXPECT_EQ(describe(Value()), "<null>");
  EXPECT_EQ(describe(nullptr), "(null)");
  EXPECT_EQ(describe(Value("正常")), "正常") << "outside a collection a string is its own text";
  // Dates are GMT seconds, rounded down.
  EXPECT_EQ(describe(Value(Date(1700000000.75))), "2023-11-14 22:13:20 +0000");
  EXPECT_EQ(describe(Value(Date(-0.5))), "1969-12-31 23:59:59 +0000");
  // Doubles are the shortest text that reads back, but whole numbers of up to 17 digits, such as times in
  // seconds, print plainly, as "%.17g" lays them out.
  EXPECT_EQ(describe(Value(3.0)), "3");
  EXPECT_EQ(describe(Value(1.0 / 3.0)), "0.3333333333333333");
  EXPECT_EQ(describe(Value(1e16)), "10000000000000000");
  EXPECT_EQ(describe(Value(1e17)), "1e+17");
  EXPECT_EQ(describe(Value(0.0001)), "0.0001");
  EXPECT_EQ(describe(Value(0.00001)), "1e-05");
}

TEST(DescribeTest, DataShowsLengthAndBytes) {
  EXPECT_EQ(describe(Value(Data{})), "{length = 0, bytes = 0x}");
  EXPECT_EQ(describe(Value(dataFromString("hello"))), "{length = 5, bytes = 0x68656c6c6f}");
  Data counting(40);
  std::iota(counting.begin(), counting.end(), 0);
  EXPECT_EQ(describe(Value(counting)),
            "{length = 40, bytes = 0x00010203 04050607 08090a0b 0c0d0e0f ... 20212223 24252627 }");
}

TEST(DescribeTest, NestedCollectionsIndentByLevel) {
  EXPECT_EQ(describe(Value(Array{})), "(\n)");
  EXPECT_EQ(describe(Value(Array{Value(), true, 2.5})), "(\n    <null>,\n    1,\n    2.5\n)");
  const Value nested(Dictionary{{"list", Array{1, Array{2}}}, {"map", Dictionary{}}});
  EXPECT_EQ(describe(nested),
            "{\n"
            "    list =     (\n"
            "        1,\n"
            "                (\n"
            "            2\n"
            "        )\n"
            "    );\n"
            "    map =     {\n"
            "    };\n"
            "}");
}

// Non-ASCII text inside a collection is escaped as UTF-16 units, an ill-formed byte as U+FFFD.
TEST(DescribeTest, StringsInsideCollectionsAreQuotedWhenNeeded) {
  const Value dictionary(Dictionary{{"Content-Type", "text/html; charset=utf-8"},
                                    {"empty", ""},
                                    {"id_1.x$", "007"},
                                    {"quote", "say \"hi\"\\\n"},
                                    {"text", Array{"正常", "a😀", std::string("\xff")}}});
  EXPECT_EQ(describe(dictionary),
            "{\n"
            "    \"Content-Type\" = \"text/html; charset=utf-8\";\n"
            "    empty = \"\";\n"
            "    id_1.x$ = 007;\n"
            "    quote = \"say \\\"hi\\\"\\\\\\n\";\n"
            "    text =     (\n"
            "        \"\\U6b63\\U5e38\",\n"
            "        \"a\\Ud83d\\Ude00\",\n"
            "        \"\\Ufffd\"\n"
            "    );\n"
            "}");
}

}  // namespace
}  // namespace ns
