#include <gtest/gtest.h>

#include <memory>

#include "app/base/QMBaseNavigationController.h"
#include "app/menu/QMMenuController.h"
#include "app/session/QMUser.h"
#include "app/shell/shell_test_util.h"
#include "platform/uikit/app/Application.h"
#include "support/course_placeholder_controller.h"

namespace app {

namespace {

using shelltest::ShellTest;

class RootSwitchTest : public ShellTest {
 protected:
  static std::shared_ptr<uikit::ViewController> root() {
    return uikit::Application::sharedApplication().keyWindow()->rootViewController();
  }

  // The subject screen at the root of the drawer's centre stack.
  std::shared_ptr<testsupport::CoursePlaceholderController> subjectScreen() const {
    auto navigation =
        std::dynamic_pointer_cast<QMBaseNavigationController>(delegate_->drawer()->centerViewController());
    if (!navigation || navigation->viewControllers().empty()) {
      return nullptr;
    }
    return std::dynamic_pointer_cast<testsupport::CoursePlaceholderController>(
        navigation->viewControllers().front());
  }

  void logOutThroughTheMenu() {
    ASSERT_TRUE(uikit::Driver::tap(testsupport::CoursePlaceholderController::kMenuButtonTitle).ok())
        << screen();
    settle();
    ASSERT_TRUE(uikit::Driver::tap(QMMenuController::kExitRowText).ok()) << screen();
    settle();
  }
};

TEST_F(RootSwitchTest, LoginBuildsTheDrawerAndLogoutGoesBackToTheLoginScreen) {
  launch();
  EXPECT_EQ(root()->className(), "QMUserLogController");
  EXPECT_EQ(pausedDownloads_, 1);
  // Logging in again builds a new drawer: the old one is dropped at logout.
  for (int login = 1; login <= 2; ++login) {
    const int pausesBefore = pausedDownloads_;
    logInThroughTheScreen();
    ASSERT_TRUE(delegate_->drawer()) << screen();
    EXPECT_EQ(root(), delegate_->drawer());
    EXPECT_EQ(pausedDownloads_, pausesBefore + 1);
    EXPECT_TRUE(screenShows("[QMSubjectController]")) << screen();
    // The drawer holds the menu on the left and, in the centre, a stack rooted at the subject screen,
    // which is handed the drawer too.
    EXPECT_EQ(delegate_->drawer()->leftViewController()->className(), "QMMenuController");
    ASSERT_TRUE(subjectScreen());
    EXPECT_EQ(subjectScreen()->className(), "QMSubjectController");
    EXPECT_EQ(subjectScreen()->drawer(), delegate_->drawer());
    const std::weak_ptr<ui::DrawerController> drawer = delegate_->drawer();
    logOutThroughTheMenu();
    EXPECT_TRUE(drawer.expired());
    EXPECT_EQ(root()->className(), "QMUserLogController");
    EXPECT_EQ(delegate_->drawer(), nullptr);
    EXPECT_FALSE(QMUser::sharedInstance()->isLogin());
    EXPECT_TRUE(screenShows("[QMUserLogController]")) << screen();
  }
}

TEST_F(RootSwitchTest, ARebuildWhileLoggedInKeepsTheDrawerAndStillPausesDownloads) {
  launch();
  logInThroughTheScreen();
  const std::shared_ptr<ui::DrawerController> drawer = delegate_->drawer();
  ASSERT_TRUE(drawer);
  const int pausesBefore = pausedDownloads_;
  delegate_->reloadRootController();
  settle();
  EXPECT_EQ(delegate_->drawer(), drawer);
  EXPECT_EQ(root(), drawer);
  EXPECT_EQ(pausedDownloads_, pausesBefore + 1);

  // Logged out, a rebuild also pauses downloads while the login screen stays the root.
  logOutThroughTheMenu();
  const int pausesLoggedOut = pausedDownloads_;
  delegate_->reloadRootController();
  EXPECT_EQ(pausedDownloads_, pausesLoggedOut + 1);
  EXPECT_EQ(root()->className(), "QMUserLogController");
}

TEST_F(RootSwitchTest, AStoredSessionStartsAtTheDrawer) {
  // A session that an earlier run opened and kept in user defaults.
  QMUser::sharedInstance()->setUserSid(app_.postLogin().sid);
  launch();
  // The version check carries the session, which the back end still knows.
  ASSERT_TRUE(runUntil([&] { return !app_.backend().recordedRequests("/app/latest_ver").empty(); }));
  settle();
  EXPECT_EQ(app_.backend().recordedRequests("/app/latest_ver").front().request.parameter("sid"),
            QMUser::sharedInstance()->userSid());
  ASSERT_TRUE(delegate_->drawer());
  EXPECT_EQ(root()->className(), "DrawerController");
  EXPECT_TRUE(screenShows("[QMSubjectController]")) << screen();
}

}  // namespace

}  // namespace app
