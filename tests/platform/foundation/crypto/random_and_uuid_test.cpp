#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <set>

#include "platform/foundation/crypto/Random.h"
#include "platform/foundation/crypto/UUID.h"

namespace ns {
namespace {

TEST(UUIDTest, TextIsUpperCaseVersionFourInTheUsualGroupsAndEachIsNew) {
  const std::regex versionFour("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  std::set<std::string> seen;
  for (int count = 0; count < 100; ++count) {
    const std::string text = UUID::random().uuidString();
    EXPECT_TRUE(std::regex_match(text, versionFour)) << text;
    EXPECT_TRUE(seen.insert(text).second) << text;
  }
}

TEST(RandomTest, UniformNumbersStayBelowTheBoundAndReachEveryValue) {
  std::array<int, 10> hits{};
  for (int draw = 0; draw < 2000; ++draw) {
    const std::uint32_t number = randomUniform(10);
    ASSERT_LT(number, 10u);
    ++hits[number];
  }
  for (int hit : hits) {
    EXPECT_GT(hit, 0);
  }
  EXPECT_EQ(randomUniform(1), 0u);
  EXPECT_EQ(randomUniform(0), 0u);
}

TEST(RandomTest, BytesComeInTheAskedNumberAndDiffer) {
  EXPECT_TRUE(randomBytes(0).empty());
  const Data first = randomBytes(32);
  EXPECT_EQ(first.size(), 32u);
  EXPECT_NE(first, randomBytes(32));
}

}  // namespace
}  // namespace ns
