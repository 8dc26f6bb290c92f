#include <gtest/gtest.h>

#include "embeddedServer/logging/LGLog.h"
#include "recording_logger_test_util.h"

namespace {

using server_testing::InstalledRecordingLogger;

TEST(LGLogTest, DeliversMessagesInOrderWithTheirContext) {
  InstalledRecordingLogger logger;
  LGLog::log(LGLogFlag::kInfo, kHTTPLogContext, "first");
  LGLog::log(LGLogFlag::kVerbose, 7, "second");
  const auto messages = logger->messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "first");
  EXPECT_EQ(messages[0].context, 80);
  EXPECT_EQ(messages[1].flag, LGLogFlag::kVerbose);
  EXPECT_EQ(messages[1].context, 7);
}

TEST(LGLogTest, AnErrorIsDeliveredBeforeTheCallReturnsBehindEarlierMessages) {
  InstalledRecordingLogger logger;
  LGLog::log(LGLogFlag::kInfo, kHTTPLogContext, "queued");
  LGLog::log(LGLogFlag::kError, kHTTPLogContext, "failure");
  const auto delivered = logger->delivered();
  ASSERT_EQ(delivered.size(), 2u);
  EXPECT_EQ(delivered[0].text, "queued");
  EXPECT_EQ(delivered[1].text, "failure");
}

TEST(LGLogTest, MessagesWithoutALoggerGoNowhere) {
  LGLog::log(LGLogFlag::kError, kHTTPLogContext, "unheard");
  InstalledRecordingLogger logger;
  EXPECT_TRUE(logger->messages().empty());
}

}  // namespace
