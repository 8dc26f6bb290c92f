#include <gtest/gtest.h>

#include <string>

#include "analytics/UsageClick.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/UserDefaults.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "platform/uikit/app/Application.h"

namespace analytics {

namespace {

constexpr char kAppKey[] = "3f1c8a0b7d2e4f6091a5c3e7";
constexpr char kWarning[] = "WARNING: Appkey is different from the past.";

class UsageClickTest : public ::testing::Test {
 protected:
  UsageClickTest() {
    UsageClick::resetForTesting();
    ns::RunLoop::main().runPending();
  }
  ~UsageClickTest() override { UsageClick::resetForTesting(); }

  // Starts the client as the application does and returns what it wrote on standard error.
  static std::string startCapturingWarnings(const std::string& key, const std::string& channel = "000016") {
    ::testing::internal::CaptureStderr();
    UsageClick::startWithAppkey(key, 0, channel);
    return ::testing::internal::GetCapturedStderr();
  }

  static void post(const char* name) { ns::NotificationCenter::defaultCenter().postNotificationName(name); }

  ns::testutil::TemporarySandbox sandbox_;
};

TEST_F(UsageClickTest, StartKeepsWhatTheRecordsCarryAndAnnouncesTheKey) {
  int announcements = 0;
  const ns::NotificationCenter::ObserverToken token =
      ns::NotificationCenter::defaultCenter().addObserverForName(
          kUAGotAppkeyNotification, nullptr, nullptr, [&](const ns::Notification&) { ++announcements; });

  UsageClick::setAppVersion("1.0.0");
  EXPECT_EQ(startCapturingWarnings(kAppKey), "");

  EXPECT_EQ(announcements, 1);
  EXPECT_EQ(UsageClick::appVersion(), "1.0.0");
  EXPECT_EQ(UsageClick::appKey(), kAppKey);
  EXPECT_EQ(UsageClick::reportPolicy(), 0u);
  EXPECT_EQ(UsageClick::channelId(), "000016");
  EXPECT_EQ(ns::UserDefaults::standardUserDefaults().stringForKey(UsageClick::kAppKeyDefaultsKey), kAppKey);

  // An empty channel leaves the one kept before.
  startCapturingWarnings(kAppKey, "");
  EXPECT_EQ(UsageClick::channelId(), "000016");
  ns::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(UsageClickTest, AKeyThatDiffersFromAnEarlierStartWarnsAndIsKeptAllTheSame) {
  startCapturingWarnings(kAppKey);

  // A later process: the key of the earlier one is read from user defaults.
  UsageClick::resetForTesting();
  sandbox_.simulateRestart();
  EXPECT_EQ(startCapturingWarnings(kAppKey), "");

  const std::string otherKey = "000000000000000000000000";
  EXPECT_NE(startCapturingWarnings(otherKey).find(kWarning), std::string::npos);
  EXPECT_EQ(UsageClick::appKey(), otherKey);
  EXPECT_EQ(ns::UserDefaults::standardUserDefaults().stringForKey(UsageClick::kAppKeyDefaultsKey), otherKey);
}

TEST_F(UsageClickTest, TheSessionBeginsAfterTheCallAndFollowsTheApplication) {
  UsageClick::startWithAppkey(kAppKey, 0, "000016");
  EXPECT_EQ(UsageClick::currentSessionId(), std::nullopt) << "the session start waits for the main loop";

  ns::RunLoop::main().runPending();
  ASSERT_TRUE(UsageClick::currentSessionId().has_value());
  const std::string first = *UsageClick::currentSessionId();

  post(uikit::kApplicationWillResignActiveNotification);
  EXPECT_EQ(UsageClick::currentSessionId(), std::nullopt);
  post(uikit::kApplicationDidBecomeActiveNotification);
  ASSERT_TRUE(UsageClick::currentSessionId().has_value());
  EXPECT_NE(*UsageClick::currentSessionId(), first);

  // Becoming active again while a session runs keeps it; terminating ends it.
  const std::string second = *UsageClick::currentSessionId();
  post(uikit::kApplicationDidBecomeActiveNotification);
  EXPECT_EQ(UsageClick::currentSessionId(), second);
  post(uikit::kApplicationWillTerminateNotification);
  EXPECT_EQ(UsageClick::currentSessionId(), std::nullopt);
}

}  // namespace

}  // namespace analytics
