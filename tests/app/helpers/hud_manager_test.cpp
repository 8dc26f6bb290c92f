#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/app_test_util.h"
#include "app/helpers/HUDManager.h"
#include "app/helpers/ui_helper_test_util.h"

namespace app {

namespace {

using apptest::shownHUDs;
using apptest::UiHelperTest;

class HUDManagerTest : public UiHelperTest {
 protected:
  // Shows a toast and returns how long, in milliseconds on the manual clock, it stayed.
  int toastMilliseconds(const std::function<void()>& show) {
    show();
    const std::vector<std::shared_ptr<ui::ProgressHUD>> huds = shownHUDs(*window_);
    EXPECT_EQ(huds.size(), 1u);
    EXPECT_TRUE(!huds.empty() && huds[0]->mode() == ui::ProgressHUDMode::kText && !huds[0]->dimBackground());
    int elapsed = 0;
    for (; !shownHUDs(*window_).empty() && elapsed < 10000; elapsed += 100) {
      advance(std::chrono::milliseconds(100));
    }
    nextTurn();
    return elapsed;
  }

  // A screen on the window for the loading indicator.
  std::shared_ptr<uikit::View> screen_ = std::make_shared<uikit::View>(window_->bounds());
};

TEST_F(HUDManagerTest, ToastsStayLongerForLongerTexts) {
  EXPECT_EQ(toastMilliseconds([] { HUDManager::showWarningWithText("一二三四五六七八九十"); }), 1000);
  EXPECT_EQ(toastMilliseconds([] { HUDManager::showWarningWithText("一二三四五六七八九十一"); }), 1500);
  EXPECT_EQ(toastMilliseconds([] { HUDManager::showWarningWithText("0123456789", 3.0); }), 3000);
  EXPECT_EQ(toastMilliseconds([] { HUDManager::showWarningWithText(std::string(35, 'x'), 3.0); }), 3000);
  EXPECT_EQ(toastMilliseconds([] { HUDManager::showWarningWithText(std::string(19, 'x'), 3.0); }), 1000);
}

TEST_F(HUDManagerTest, ASecondLoadingIndicatorHidesTheFirst) {
  window_->addSubview(screen_);
  HUDManager::showLoadingHUDView(*screen_);
  std::shared_ptr<ui::ProgressHUD> first = HUDManager::currentLoadingHUD();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->labelText(), "努力加载中");
  EXPECT_EQ(first->mode(), ui::ProgressHUDMode::kIndeterminate);
  HUDManager::showLoadingHUDView(*screen_, "正在提交订单，请稍候");
  advance(std::chrono::milliseconds(300));
  EXPECT_EQ(shownHUDs(*screen_),
            std::vector<std::shared_ptr<ui::ProgressHUD>>{HUDManager::currentLoadingHUD()});
  EXPECT_EQ(HUDManager::currentLoadingHUD()->minShowTime(), 0.3);
  HUDManager::hideHUDView();
  advance(std::chrono::milliseconds(300));
  EXPECT_TRUE(shownHUDs(*screen_).empty());
}

TEST_F(HUDManagerTest, TheLoadingIndicatorStaysItsMinimumTime) {
  window_->addSubview(screen_);
  HUDManager::showLoadingHUDView(*screen_, "正在加载课程目录，请稍候");
  HUDManager::hideHUDView();
  advance(std::chrono::milliseconds(900));
  EXPECT_EQ(shownHUDs(*screen_).size(), 1u);
  advance(std::chrono::milliseconds(100));
  EXPECT_TRUE(shownHUDs(*screen_).empty());
}

}  // namespace

}  // namespace app
