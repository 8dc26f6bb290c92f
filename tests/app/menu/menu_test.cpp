#include <gtest/gtest.h>

#include <memory>

#include "app/account/user_centre_test_util.h"
#include "app/menu/QMMenuController.h"
#include "app/purchase/QMPurchaseUnavailableController.h"
#include "app/settings/QMMoreStoryboard.h"
#include "app/settings/QMSettingController.h"
#include "app/user/QMUserOldCenterController.h"
#include "platform/uikit/driver/Driver.h"

namespace app {
namespace {

using usercentretest::UserCentreTest;

class MenuTest : public UserCentreTest {
 protected:
  MenuTest() { QMMoreStoryboard::registerScenes(); }

  void SetUp() override {
    UserCentreTest::SetUp();
    ASSERT_TRUE(uikit::Driver::tap("菜单").ok()) << screen();
    settle();
    ASSERT_EQ(drawer().drawerState(), ui::DrawerState::kOpen) << screen();
  }

  ui::DrawerController& drawer() { return *delegate_->drawer(); }
  std::shared_ptr<QMMenuController> menu() {
    return std::dynamic_pointer_cast<QMMenuController>(drawer().leftViewController());
  }
};

TEST_F(MenuTest, TheUserCentreOpensAndTheDrawerClosesOnceItShows) {
  EXPECT_EQ(menu()->drawer(), delegate_->drawer());
  ASSERT_TRUE(uikit::Driver::tap(QMMenuController::kUserRowText).ok()) << screen();
  settle();
  EXPECT_TRUE(shown<QMUserOldCenterController>()) << screen();
  EXPECT_EQ(drawer().drawerState(), ui::DrawerState::kClosed);
  EXPECT_EQ(drawer().presentedViewController()->className(), "QMUserOldCenterController");
}

TEST_F(MenuTest, ThePurchaseRowSaysPurchasesAreNotAvailableWithAWayBack) {
  ASSERT_TRUE(uikit::Driver::tap(QMMenuController::kBuyRowText).ok()) << screen();
  settle();
  EXPECT_TRUE(shown<QMPurchaseUnavailableController>()) << screen();
  EXPECT_TRUE(screenShows(QMPurchaseUnavailableController::kMessage)) << screen();
  EXPECT_EQ(drawer().drawerState(), ui::DrawerState::kClosed);
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  EXPECT_FALSE(drawer().presentedViewController());
  EXPECT_TRUE(screenShows("[QMSubjectController]")) << screen();
}

TEST_F(MenuTest, TheSettingsOpenAndTheDrawerCloses) {
  ASSERT_TRUE(uikit::Driver::tap(QMMenuController::kSettingRowText).ok()) << screen();
  settle();
  EXPECT_TRUE(shown<QMSettingController>()) << screen();
  EXPECT_EQ(drawer().drawerState(), ui::DrawerState::kClosed);
}

TEST_F(MenuTest, AScreenNotBuiltYetSaysSoAndLeavesTheDrawerOpen) {
  ASSERT_TRUE(uikit::Driver::tap(QMMenuController::kDownloadRowText).ok()) << screen();
  settle();
  EXPECT_TRUE(screenShows(std::string("toast: ") + QMMenuController::kUnavailableText)) << screen();
  EXPECT_FALSE(drawer().presentedViewController());
  EXPECT_EQ(drawer().drawerState(), ui::DrawerState::kOpen);
}

TEST_F(MenuTest, LoggingOutGoesToTheLoginScreenWithoutClosingTheDrawerFirst) {
  const std::shared_ptr<ui::DrawerController> kept = delegate_->drawer();
  ASSERT_TRUE(uikit::Driver::tap(QMMenuController::kExitRowText).ok()) << screen();
  settle();
  EXPECT_EQ(kept->drawerState(), ui::DrawerState::kOpen);
  EXPECT_FALSE(QMUser::sharedInstance()->isLogin());
  EXPECT_EQ(delegate_->drawer(), nullptr);
  EXPECT_TRUE(screenShows("[QMUserLogController]")) << screen();
}

TEST_F(MenuTest, WhileTheDrawerMovesTheMenuTakesNoTouches) {
  drawer().close();
  EXPECT_EQ(drawer().drawerState(), ui::DrawerState::kClosing);
  EXPECT_FALSE(menu()->view()->isUserInteractionEnabled());
  settle();
  EXPECT_EQ(drawer().drawerState(), ui::DrawerState::kClosed);
  EXPECT_TRUE(menu()->view()->isUserInteractionEnabled());
  drawer().open();
  EXPECT_FALSE(menu()->view()->isUserInteractionEnabled());
  EXPECT_EQ(uikit::Driver::tap(QMMenuController::kBuyRowText).error().code(), uikit::Driver::kNotTouchable);
  settle();
  EXPECT_TRUE(menu()->view()->isUserInteractionEnabled());
  EXPECT_TRUE(uikit::Driver::tap(QMMenuController::kBuyRowText).ok());
}

}  // namespace
}  // namespace app
