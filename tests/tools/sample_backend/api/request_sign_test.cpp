#include <gtest/gtest.h>

#include "api_test_util.h"
#include "sample_backend/api/FormBody.h"
#include "sample_backend/api/RequestSign.h"

namespace sample_backend::api {
namespace {

using testutil::kSigningKey;

// The expected digests were computed apart from this code, from the rule as written.
TEST(RequestSignTest, SortsKeysByCodeUnitsJoinsPairsWithoutSeparatorAndLeavesTheSignOut) {
  EXPECT_EQ(computeRequestSign({{"videoId", "7"}, {"sid", "abc"}, {"app_id", "83"}}, kSigningKey),
            "21584ba0cd3a206b62c89e4f18adfb58");
  EXPECT_EQ(computeRequestSign({{"a", "1"}, {"Z", "2"}}, kSigningKey), "78e4d6c0eca0fcb40ad71d2b5ba3e33c");
  // The sign itself is left out.
  EXPECT_EQ(computeRequestSign({{"a", "1"}, {"Z", "2"}, {"sign", "anything"}}, kSigningKey),
            "78e4d6c0eca0fcb40ad71d2b5ba3e33c");
  // U+1F600 is a surrogate pair starting 0xD83D, so it sorts before U+FF21, unlike in UTF-8 byte order.
  EXPECT_EQ(computeRequestSign({{"\uFF21", "2"}, {"\U0001F600", "1"}}, kSigningKey),
            "f407b82979e50e3464716b8cf6da9b71");
  EXPECT_EQ(computeRequestSign({{"名", "澜屿"}}, kSigningKey), "cca08d46b1230bd9f31cd946ea73e18f");
}

TEST(RequestSignTest, CutsValuesAfterFiftyCodeUnits) {
  const std::string fifty(50, 'x');
  EXPECT_EQ(computeRequestSign({{"k", fifty}}, kSigningKey), "6410c071e9b6e6cc6b74760af6a596c4");
  EXPECT_EQ(computeRequestSign({{"k", fifty + "y"}}, kSigningKey), "6410c071e9b6e6cc6b74760af6a596c4");
  // The 50th and 51st units are one character, which is left out whole.
  EXPECT_EQ(computeRequestSign({{"k", std::string(49, 'x') + "\U0001F600"}}, kSigningKey),
            "cfbbfc48998a600c6c9098f66a8900a2");
  // Fifty CJK characters are fifty units, though 150 bytes.
  std::string chinese;
  for (int i = 0; i < 51; ++i) {
    chinese += "澜";
  }
  EXPECT_EQ(requestSignSource({{"k", chinese}}, ""), "k=" + chinese.substr(0, 150));
}

TEST(FormBodyTest, DecodesAsTheClientEncodes) {
  EXPECT_EQ(decodeFormBody("a=1&b=x+y&c=%E6%BE%9C&d&e=%zz&a=2&&f=%2"),
            (std::map<std::string, std::string, std::less<>>{
                {"a", "2"}, {"b", "x y"}, {"c", "澜"}, {"d", ""}, {"e", "%zz"}, {"f", "%2"}}));
  EXPECT_TRUE(decodeFormBody("").empty());
}

}  // namespace
}  // namespace sample_backend::api
