#include <gtest/gtest.h>

#include "learning/player/StatisticsLoginReply.h"

namespace {

TEST(StatisticsLoginReplyTest, TakesTheIdAfterTheFirstBarAndTheTokenBeforeTheNext) {
  const auto reply = StatisticsLoginReply::parse("lgnres|1001|x,9f3c|extra|ed#");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->distributeId, "1001");
  EXPECT_EQ(reply->token, "9f3c");

  const auto bare = StatisticsLoginReply::parse("lgnres|7,token");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->distributeId, "7");
  EXPECT_EQ(bare->token, "token");
}

TEST(StatisticsLoginReplyTest, RefusesRepliesThatDoNotSplitInTwoOrHoldNoId) {
  for (const char* text : {"insres|success|ed#", "a|1,b,c|ed#", "lgnres1001,token|ed#", "", ","}) {
    EXPECT_FALSE(StatisticsLoginReply::parse(text)) << text;
  }
}

}  // namespace
