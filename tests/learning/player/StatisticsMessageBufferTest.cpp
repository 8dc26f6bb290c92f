#include <gtest/gtest.h>

#include "learning/player/StatisticsMessageBuffer.h"

namespace {

using Messages = std::vector<std::string>;

TEST(StatisticsMessageBufferTest, CutsReadsIntoWholeMessages) {
  StatisticsMessageBuffer buffer;
  EXPECT_EQ(buffer.append("insres|success|ed#htbscs|ok|ed#"),
            (Messages{"insres|success|ed#", "htbscs|ok|ed#"}));
  EXPECT_EQ(buffer.append("htbscs|o"), Messages{});
  EXPECT_EQ(buffer.append("k|ed#insres|succ"), Messages{"htbscs|ok|ed#"});
  EXPECT_EQ(buffer.append("ess|e"), Messages{});
  EXPECT_EQ(buffer.append("d#"), Messages{"insres|success|ed#"});
  EXPECT_EQ(buffer.append("|ed#"), Messages{"|ed#"});
}

TEST(StatisticsMessageBufferTest, ForgetsUnfinishedBytesWhenCleared) {
  StatisticsMessageBuffer buffer;
  EXPECT_EQ(buffer.append("lgnres|1001,tok"), Messages{});
  buffer.clear();
  EXPECT_EQ(buffer.append("htbscs|ok|ed#"), Messages{"htbscs|ok|ed#"});
}

TEST(StatisticsMessageBufferTest, DropsAMessageThatNeverEnds) {
  StatisticsMessageBuffer buffer;
  EXPECT_EQ(buffer.append(std::string(StatisticsMessageBuffer::kMaximumPendingBytes + 1, 'x')), Messages{});
  EXPECT_EQ(buffer.append("htbscs|ok|ed#"), Messages{"htbscs|ok|ed#"});
}

}  // namespace
