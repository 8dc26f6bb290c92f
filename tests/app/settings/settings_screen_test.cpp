// The settings screen and the two screens it leads to, driven as a finger would against the sample back end:
// the Wi-Fi-only switches and their life across restarts and sessions, the about screen's version and call,
// and feedback sent and refused.

#include "app/menu/QMMenuScenes.h"
#include "app/session/QMUser.h"
#include "app/settings/QMFeedbackController.h"
#include "app/settings/QMSettingController.h"
#include "app/settings/settings_test_util.h"
#include "app/user/QMUserDataModel.h"
#include "platform/foundation/storage/UserDefaults.h"
#include "platform/uikit/app/Keyboard.h"

namespace app::settingstest {
namespace {

using SettingsScreenTest = SettingsTest;

TEST_F(SettingsScreenTest, TheSwitchesWriteTheFlagsAtOnceAndKeepThemAcrossARestartButNotANewSession) {
  launchAndLogIn();
  open();
  ASSERT_TRUE(screenShows("[QMSettingController]")) << screen();
  EXPECT_TRUE(screenShows("switch wifiPlaySwitch: on")) << screen();
  EXPECT_TRUE(screenShows("switch wifiDownloadSwitch: on")) << screen();

  tap("wifiPlaySwitch");
  EXPECT_FALSE(QMUser::sharedInstance()->onlyWifiPlay());
  EXPECT_TRUE(QMUser::sharedInstance()->onlyWifiDown());
  // The flag is in the file already: defaults read anew from it see it.
  ns::UserDefaults::resetStandardUserDefaultsForTesting();
  EXPECT_FALSE(ns::UserDefaults::standardUserDefaults().boolForKey("UserOnlyWifiPlay"));
  EXPECT_TRUE(ns::UserDefaults::standardUserDefaults().boolForKey("UserOnlyWifiDown"));

  // Back closes the settings; opened again, they show the switch off.
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  EXPECT_TRUE(screenShows("[QMSubjectController]")) << screen();
  open();
  EXPECT_TRUE(screenShows("switch wifiPlaySwitch: off")) << screen();

  // A new process finds the learner signed in with the switch still off.
  app_.startNewProcess();
  QMMoreStoryboard::registerScenes();
  QMUserStoryboard::registerScenes();
  testsupport::CoursePlaceholderController::registerScenes();
  QMMenuScenes::registerScenes();
  launch();
  ASSERT_TRUE(screenShows("[QMSubjectController]")) << screen();
  open();
  EXPECT_TRUE(screenShows("switch wifiPlaySwitch: off")) << screen();
  tap("wifiDownloadSwitch");
  EXPECT_FALSE(QMUser::sharedInstance()->onlyWifiDown());

  // Logging out and in again switches both on.
  QMUser::sharedInstance()->logout();
  settle();
  submit(apptest::kLearnerName, apptest::kLearnerPassword);
  ASSERT_TRUE(runUntil([] { return screenShows("[QMSubjectController]"); })) << screen();
  open();
  EXPECT_TRUE(screenShows("switch wifiPlaySwitch: on")) << screen();
  EXPECT_TRUE(screenShows("switch wifiDownloadSwitch: on")) << screen();
}

TEST_F(SettingsScreenTest, TheRowsLeadToTheAboutScreenWhichOffersACallToCustomerService) {
  launchAndLogIn();
  open();
  ASSERT_TRUE(uikit::Driver::selectRow(QMSettingController::kAboutRow).ok()) << screen();
  settle();
  ASSERT_TRUE(screenShows("[QMAboutController]")) << screen();
  EXPECT_TRUE(screenShows("label versionLabel: 版本 v1.0.0")) << screen();
  EXPECT_FALSE(screenShows("call offered")) << screen();

  const std::size_t requestsBefore = app_.backend().recordedRequests().size();
  tap("phoneCallBtn");
  EXPECT_TRUE(screenShows("call offered: 4006009000")) << screen();
  EXPECT_EQ(app_.backend().recordedRequests().size(), requestsBefore) << "a call fetches nothing";

  // Back pops to the settings, whose row is no longer selected, and the feedback row leads on.
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  ASSERT_TRUE(screenShows("[QMSettingController]")) << screen();
  EXPECT_FALSE(screenShows(" *")) << screen();
  ASSERT_TRUE(uikit::Driver::selectRow(QMSettingController::kFeedbackRow).ok()) << screen();
  settle();
  EXPECT_TRUE(screenShows("[QMFeedbackController]")) << screen();
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  EXPECT_TRUE(screenShows("[QMSettingController]")) << screen();
}

class FeedbackScreenTest : public SettingsTest {
 protected:
  void SetUp() override {
    launchAndLogIn();
    open();
    ASSERT_TRUE(uikit::Driver::selectRow(QMSettingController::kFeedbackRow).ok()) << screen();
    settle();
  }

  std::size_t feedbackSent() {
    return app_.backend().recordedRequests(QMUserDataModel::kFeedbackPath).size();
  }
};

TEST_F(FeedbackScreenTest, TheTextViewTakesTheKeyboardAndThePlaceholderShowsOnlyWhileItIsEmpty) {
  EXPECT_TRUE(uikit::Keyboard::isVisible());
  EXPECT_TRUE(screenShows("label adviceHoldLabel: 请输入您的宝贵意见")) << screen();
  type("myTextview", "好");
  EXPECT_FALSE(screenShows("请输入您的宝贵意见")) << screen();
  type("myTextview", "");
  EXPECT_TRUE(screenShows("请输入您的宝贵意见")) << screen();
}

TEST_F(FeedbackScreenTest, EmptyFeedbackIsRefusedAndBlanksAreSentAsTheyStand) {
  tap("sendBtn");
  EXPECT_TRUE(screenShows(std::string("toast: ") + QMFeedbackController::kEmptyFeedbackText)) << screen();
  EXPECT_EQ(feedbackSent(), 0u);
  letToastsGo();

  type("myTextview", "  ");
  tap("sendBtn");
  ASSERT_TRUE(runUntil([] { return screenShows(std::string("toast: ") + QMFeedbackController::kSentText); }))
      << screen();
  ASSERT_EQ(feedbackSent(), 1u);
  EXPECT_EQ(app_.backend().recordedRequests(QMUserDataModel::kFeedbackPath)[0].request.parameter(
                "errorDescription"),
            "联系方式: \n 反馈意见:  ");
}

TEST_F(FeedbackScreenTest, SentFeedbackLeavesTheScreenWithItsTexts) {
  type("myTextview", "视频加载很快\n希望增加倍速");
  type("myTF", "13800138000");
  tap("sendBtn");
  ASSERT_TRUE(runUntil([] { return screenShows(std::string("toast: ") + QMFeedbackController::kSentText); }))
      << screen();
  EXPECT_EQ(app_.backend().recordedRequests(QMUserDataModel::kFeedbackPath).back().code, 0);
  EXPECT_EQ(app_.backend()
                .recordedRequests(QMUserDataModel::kFeedbackPath)
                .back()
                .request.parameter("errorDescription"),
            "联系方式:13800138000 \n 反馈意见:视频加载很快\n希望增加倍速");
  EXPECT_TRUE(screenShows("[QMFeedbackController]")) << screen();
  EXPECT_TRUE(screenShows("field myTF: 13800138000")) << screen();
}

}  // namespace
}  // namespace app::settingstest
