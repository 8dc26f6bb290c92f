#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/shell/shell_test_util.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Application.h"

namespace app {

namespace {

using shelltest::ShellTest;

constexpr char kVersionPath[] = "/app/latest_ver";
constexpr char kDownloadPath[] = "http://127.0.0.1/quillmark/download/2.0.0";

class VersionAlertTest : public ShellTest {
 protected:
  // Launches and runs the main loop until `handled` tells that the version reply has been handled.
  void launchAndWaitForTheVersionReply(const std::function<bool()>& handled) {
    launch();
    ASSERT_TRUE(runUntil(handled)) << screen();
    settle();
  }

  static std::shared_ptr<uikit::AlertView> alertOnScreen() {
    const std::vector<std::shared_ptr<uikit::AlertView>> alerts = uikit::AlertView::visibleAlerts();
    return alerts.empty() ? nullptr : alerts.back();
  }

  static const std::vector<std::string>& openedURLs() {
    return uikit::Application::sharedApplication().openedURLs();
  }
};

TEST_F(VersionAlertTest, AForcedUpdateOffersOnlyUpdateNowWhichOpensTheDownload) {
  app_.answer(kVersionPath, {{"downloadPath", kDownloadPath}, {"status", 2}, {"forceUpdateStatus", 2}});
  launchAndWaitForTheVersionReply([] { return alertOnScreen() != nullptr; });
  const std::shared_ptr<uikit::AlertView> alert = alertOnScreen();
  ASSERT_TRUE(alert) << screen();
  EXPECT_EQ(alert->title(), "更新提示");
  EXPECT_EQ(alert->message(), " 检测到新版本，需要升级");
  ASSERT_EQ(alert->numberOfButtons(), 1);
  EXPECT_EQ(alert->buttonTitleAtIndex(0), "马上更新");
  EXPECT_EQ(delegate_->serverAppDownloadPath(), kDownloadPath);
  ASSERT_TRUE(uikit::Driver::answerAlert("马上更新").ok());
  EXPECT_EQ(openedURLs(), std::vector<std::string>{kDownloadPath});
  EXPECT_EQ(alertOnScreen(), nullptr);
}

TEST_F(VersionAlertTest, AnOptionalUpdateCanBeIgnoredOrTaken) {
  // The status may come as text; it still reads as 2.
  app_.answer(kVersionPath, {{"downloadPath", kDownloadPath}, {"status", "2"}, {"forceUpdateStatus", 1}});
  launchAndWaitForTheVersionReply([] { return alertOnScreen() != nullptr; });
  std::shared_ptr<uikit::AlertView> alert = alertOnScreen();
  ASSERT_TRUE(alert) << screen();
  ASSERT_EQ(alert->numberOfButtons(), 2);
  EXPECT_EQ(alert->buttonTitleAtIndex(0), "忽略");
  EXPECT_EQ(alert->buttonTitleAtIndex(1), "马上更新");
  ASSERT_TRUE(uikit::Driver::answerAlert("忽略").ok());
  EXPECT_TRUE(openedURLs().empty());
  delegate_->checkNewVersion();
  ASSERT_TRUE(runUntil([] { return alertOnScreen() != nullptr; }));
  ASSERT_TRUE(uikit::Driver::answerAlert("马上更新").ok());
  EXPECT_EQ(openedURLs(), std::vector<std::string>{kDownloadPath});
}

TEST_F(VersionAlertTest, NoNewerVersionShowsNothingButKeepsTheDownloadAddress) {
  app_.answer(kVersionPath, {{"downloadPath", kDownloadPath}, {"status", 1}, {"forceUpdateStatus", 2}});
  launchAndWaitForTheVersionReply([&] { return delegate_->serverAppDownloadPath().has_value(); });
  EXPECT_EQ(alertOnScreen(), nullptr) << screen();
  EXPECT_EQ(delegate_->serverAppDownloadPath(), kDownloadPath);
}

TEST_F(VersionAlertTest, ARefusalShowsTheCodesTextAndNoAlert) {
  app_.backend().controls().refuseNextRequest(kVersionPath, sample_backend::api::kCodeInternalError);
  launchAndWaitForTheVersionReply([] { return screenShows("toast: 系统内部错误"); });
  EXPECT_EQ(alertOnScreen(), nullptr);
  EXPECT_EQ(delegate_->serverAppDownloadPath(), std::nullopt);
}

}  // namespace

}  // namespace app
