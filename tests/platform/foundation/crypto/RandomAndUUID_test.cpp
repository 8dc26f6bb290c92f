#include <gtest/gtest.h>

#include <array>
#include <set>

#include "platform/foundation/crypto/Random.h"
#include "platform/foundation/crypto/UUID.h"

namespace ns {
namespace {

bool isUpperHexDigit(char character) {
  return (character >= '0' && character <= '9') || (character >= 'A' && character <= 'F');
}

TEST(UUIDTest, TextIsUpperCaseVersionFourInTheUsualGroups) {
  const std::string text = UUID::random().uuidString();
  ASSERT_EQ(text.size(), 36u);
  for (std::size_t index = 0; index < text.size(); ++index) {
    if (index == 8 || index == 13 || index == 18 || index == 23) {
      EXPECT_EQ(text[index], '-') << text;
    } else {
      EXPECT_TRUE(isUpperHexDigit(text[index])) << text;
    }
  }
  EXPECT_EQ(text[14], '4') << text;
  EXPECT_NE(std::string("89AB").find(text[19]), std::string::npos) << text;
}

TEST(UUIDTest, EachIdentifierIsNew) {
  std::set<std::string> seen;
  for (int count = 0; count < 100; ++count) {
    EXPECT_TRUE(seen.insert(UUID::random().uuidString()).second);
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
