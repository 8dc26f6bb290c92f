#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "analytics/UsageClick.h"
#include "app/network/QMNetworkHelper.h"
#include "app/session/QMAppServices.h"
#include "app/shell/shell_test_util.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMSeason.h"
#include "platform/avfoundation/AudioSession.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/uikit/app/Application.h"

namespace app {

namespace {

using shelltest::ShellTest;

constexpr char kVersionPath[] = "/app/latest_ver";

class AppDelegateLaunchTest : public ShellTest {
 protected:
  // The steps of the launch done so far, in the order the launch runs them.
  std::string stepsDone() {
    const std::shared_ptr<uikit::Window> key = uikit::Application::sharedApplication().keyWindow();
    const std::vector<std::pair<const char*, bool>> steps = {
        {"window", delegate_ && delegate_->window() && key == delegate_->window() && !key->isHidden()},
        // A request leaves the manager's queue only once the back end has answered it.
        {"version", QMNetworkHelper::commonServerManager()->operationQueue().operationCount() > 0 ||
                        !app_.backend().recordedRequests(kVersionPath).empty()},
        {"keep-alive", delegate_ && delegate_->bgPlayer() && delegate_->bgPlayer()->isPlaying()},
        {"analytics", !analytics::UsageClick::appKey().empty()},
        {"reachability", QMAppServices::myReachable()->isNotifierStarted()}};
    std::string done;
    for (const auto& [step, isDone] : steps) {
      done += isDone ? std::string(done.empty() ? "" : " ") + step : "";
    }
    return done;
  }
};

TEST_F(AppDelegateLaunchTest, RunsItsStepsInOrder) {
  // The root is rebuilt (pausing downloads) before anything else the launch does.
  std::optional<std::string> atRootRebuild;
  QMAppServices::setDownloadPauser([&] {
    if (!atRootRebuild) {
      atRootRebuild = stepsDone();
    }
  });
  std::optional<std::string> atAnalyticsStart;
  const ns::NotificationCenter::ObserverToken token =
      ns::NotificationCenter::defaultCenter().addObserverForName(
          analytics::kUAGotAppkeyNotification, nullptr, nullptr,
          [&](const ns::Notification&) { atAnalyticsStart = stepsDone(); });
  launch();
  ns::NotificationCenter::defaultCenter().removeObserver(token);
  EXPECT_EQ(atRootRebuild, "");
  EXPECT_EQ(atAnalyticsStart, "window version keep-alive analytics");
  EXPECT_EQ(stepsDone(), "window version keep-alive analytics reachability");
}

TEST_F(AppDelegateLaunchTest, BuildsTheWindowKeepAliveAnalyticsAndReachability) {
  launch();
  ASSERT_TRUE(delegate_->window());
  EXPECT_EQ(uikit::Application::sharedApplication().keyWindow(), delegate_->window());
  EXPECT_EQ(uikit::Application::sharedApplication().topViewController()->className(), "QMUserLogController");
  EXPECT_EQ(delegate_->drawer(), nullptr);

  // The keep-alive: a quiet clip looping forever in a playback session that mixes with others.
  EXPECT_TRUE(uikit::Application::sharedApplication().isReceivingRemoteControlEvents());
  const av::AudioSession& session = av::AudioSession::sharedInstance();
  EXPECT_TRUE(session.isActive());
  EXPECT_EQ(session.category(), av::AudioSessionCategory::kPlayback);
  EXPECT_EQ(session.categoryOptions(), av::kAudioSessionCategoryOptionMixWithOthers);
  ASSERT_TRUE(delegate_->bgPlayer());
  EXPECT_EQ(std::filesystem::path(delegate_->bgPlayer()->path()).filename(), "test2.mp4");
  EXPECT_FLOAT_EQ(delegate_->bgPlayer()->volume(), 0.1f);
  EXPECT_EQ(delegate_->bgPlayer()->numberOfLoops(), -1);
  EXPECT_TRUE(delegate_->bgPlayer()->isPlaying());
  EXPECT_EQ(analytics::UsageClick::appVersion(), "1.0.0");
  EXPECT_EQ(analytics::UsageClick::appKey(), "3f1c8a0b7d2e4f6091a5c3e7");
  EXPECT_EQ(analytics::UsageClick::reportPolicy(), 0u);
  EXPECT_EQ(analytics::UsageClick::channelId(), "000016");
}

TEST_F(AppDelegateLaunchTest, WithoutItsClipTheKeepAliveStillSetsUpTheSessionAndTheLaunchGoesOn) {
  const std::string emptyBundle = ns::Sandbox::temporaryDirectory() + "/EmptyBundle";
  std::filesystem::create_directories(emptyBundle);
  ns::Bundle::setMainBundleResourcePathForTesting(emptyBundle);
  ::testing::internal::CaptureStderr();
  launch();
  const std::string log = ::testing::internal::GetCapturedStderr();
  ns::Bundle::setMainBundleResourcePathForTesting(std::nullopt);
  EXPECT_EQ(delegate_->bgPlayer(), nullptr);
  EXPECT_NE(log.find("test2.mp4"), std::string::npos) << log;
  EXPECT_EQ(av::AudioSession::sharedInstance().category(), av::AudioSessionCategory::kPlayback);
  EXPECT_EQ(analytics::UsageClick::appKey(), "3f1c8a0b7d2e4f6091a5c3e7");
  EXPECT_TRUE(QMAppServices::myReachable()->isNotifierStarted());
}

TEST_F(AppDelegateLaunchTest, TerminatingSavesTheObjectStore) {
  launch();
  const std::shared_ptr<cd::ManagedObjectContext> context =
      QMCoreDataHelper::sharedInstance().managedObjectContext();
  ASSERT_TRUE(context);
  context->insertNewObjectForEntityForName(QMSeason::kEntityName);
  ASSERT_TRUE(context->hasChanges());
  uikit::Application::sharedApplication().terminate();
  EXPECT_FALSE(context->hasChanges());
  QMCoreDataHelper::resetSharedInstanceForTesting();
  EXPECT_EQ(QMCoreDataHelper::sharedInstance().fetchEntityWith(QMSeason::kEntityName).size(), 1u);
}

}  // namespace

}  // namespace app
