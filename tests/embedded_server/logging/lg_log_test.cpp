#include <gtest/gtest.h>

#include "embedded_server/logging/LGLog.h"
#include "recording_logger_test_util.h"

namespace embedded_server {

namespace {

using server_testing::RecordingLogger;

TEST(LGLogTest, DeliversMessagesInOrderWithTheirContextAndErrorsBeforeTheCallReturns) {
  LGLog::log(LGLogFlag::kError, kHTTPLogContext, "unheard without a logger");
  RecordingLogger logger;
  LGLog::log(LGLogFlag::kInfo, kHTTPLogContext, "first");
  LGLog::log(LGLogFlag::kVerbose, 7, "second");
  LGLog::log(LGLogFlag::kError, kHTTPLogContext, "failure");
  const auto delivered = logger.delivered();
  ASSERT_EQ(delivered.size(), 3u);
  EXPECT_EQ(delivered[0].text, "first");
  EXPECT_EQ(delivered[0].context, 80);
  EXPECT_EQ(delivered[1].flag, LGLogFlag::kVerbose);
  EXPECT_EQ(delivered[1].context, 7);
  EXPECT_EQ(delivered[2].text, "failure");
  LGLog::log(LGLogFlag::kInfo, kHTTPLogContext, "after");
  EXPECT_EQ(logger.messages().back().text, "after");
}

}  // namespace

}  // namespace embedded_server
