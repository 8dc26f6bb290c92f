#include <chrono>

#include "platform/uikit/controls/Button.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/uikit_test_util.h"
#include "ui/hud/ProgressHUD.h"

namespace ui {
namespace {

using namespace std::chrono_literals;
using ProgressHUDTest = uikit::testing::ScreenTest<>;

TEST_F(ProgressHUDTest, AToastShowsOnTheKeyWindowAndRemovesItselfAfterItsDelay) {
  auto toast = ProgressHUD::showAlertWithText("请输入密码", 2.0);
  EXPECT_EQ(toast->superview(), window_.get());
  EXPECT_EQ(uikit::Driver::screenText(), "[ViewController]\ntoast: 请输入密码\n");
  clock_.advance(1999ms);
  EXPECT_TRUE(toast->isShowing());
  clock_.advance(1ms);
  EXPECT_FALSE(toast->isShowing());
  EXPECT_EQ(toast->superview(), window_.get());
  nextTurn();
  EXPECT_EQ(toast->superview(), nullptr);
  EXPECT_EQ(uikit::Driver::screenText(), "[ViewController]\n");
}

TEST_F(ProgressHUDTest, AToastLetsTapsThroughWhileALoadingHUDOnTheWindowCoversTheScreen) {
  auto button = std::make_shared<uikit::Button>(uikit::Rect(20, 200, 200, 44));
  button->setTitle("确定", uikit::kControlStateNormal);
  screen_->view()->addSubview(button);

  ProgressHUD::showAlertWithText("请输入密码", 2.0);
  ASSERT_TRUE(uikit::Driver::tap("确定").ok()) << "a toast is information only";

  auto loading = ProgressHUD::showHUDAddedTo(*window_, true);
  loading->setLabelText("努力加载中");
  const ns::Status covered = uikit::Driver::tap("确定");
  ASSERT_FALSE(covered.ok());
  EXPECT_EQ(covered.error().code(), uikit::Driver::kCovered);
  EXPECT_EQ(covered.error().localizedDescription(), "\"确定\" is covered by \"loading: 努力加载中\".");
  loading->hide(false);
  ASSERT_TRUE(uikit::Driver::tap("确定").ok()) << "once the loading HUD has gone";
}

TEST_F(ProgressHUDTest, AToastWithoutAKeyWindowStillHidesOnTime) {
  uikit::Application::sharedApplication().resetForTesting();
  auto toast = ProgressHUD::showAlertWithText("暂无网络，请检查网络", 2.0);
  clock_.advance(2s);
  EXPECT_EQ(toast->superview(), nullptr);
  EXPECT_FALSE(toast->isShowing());
}

TEST_F(ProgressHUDTest, AnEarlyHideWaitsForTheMinimumShowTimeAndALaterOneIsImmediate) {
  auto hud = ProgressHUD::showHUDAddedTo(*screen_->view(), true);
  hud->setMinShowTime(0.3);
  EXPECT_EQ(uikit::Driver::screenText(), "[ViewController]\nloading\n");
  clock_.advance(100ms);
  hud->hide(true);
  clock_.advance(199ms);
  EXPECT_TRUE(hud->isShowing());
  clock_.advance(1ms);
  EXPECT_FALSE(hud->isShowing());
  nextTurn();
  EXPECT_EQ(hud->superview(), nullptr);

  auto later = ProgressHUD::showHUDAddedTo(*screen_->view(), false);
  later->setMinShowTime(0.3);
  clock_.advance(300ms);
  later->hide(false);
  EXPECT_FALSE(later->isShowing());
  EXPECT_EQ(later->superview(), nullptr);
}

TEST_F(ProgressHUDTest, HidingForAViewReachesOnlyItsOwnHUDs) {
  uikit::View& view = *screen_->view();
  auto inner = std::make_shared<uikit::View>();
  view.addSubview(inner);
  auto nested = ProgressHUD::showHUDAddedTo(*inner, false);
  auto back = ProgressHUD::showHUDAddedTo(view, false);
  auto middle = ProgressHUD::showHUDAddedTo(view, false);
  auto front = ProgressHUD::showHUDAddedTo(view, false);
  EXPECT_TRUE(ProgressHUD::hideHUDForView(view, false));
  EXPECT_FALSE(front->isShowing());
  EXPECT_TRUE(back->isShowing());
  // Each HUD leaves the view as it hides, while the others are still to be reached.
  EXPECT_TRUE(ProgressHUD::hideAllHUDsForView(view, false));
  EXPECT_FALSE(back->isShowing());
  EXPECT_FALSE(middle->isShowing());
  EXPECT_EQ(view.subviews().size(), 1u);
  EXPECT_TRUE(nested->isShowing());
  EXPECT_FALSE(ProgressHUD::hideHUDForView(view, false));
  EXPECT_FALSE(ProgressHUD::hideAllHUDsForView(view, false));
}

TEST_F(ProgressHUDTest, AHUDMadeForAWindowStartsHiddenAndADelayedHideOfAGoneHUDIsHarmless) {
  auto hud = ProgressHUD::initWithWindow(*window_);
  EXPECT_FALSE(hud->isShowing());
  EXPECT_EQ(hud->frame(), window_->bounds());
  hud->show(false);
  hud->hide(true, 1.0);
  hud.reset();
  clock_.advance(1s);  // touching the released HUD now would be a use after free, which the sanitizer reports
}

}  // namespace
}  // namespace ui
