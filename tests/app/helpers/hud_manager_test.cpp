#include <gtest/gtest.h>

#include <string>

#include "app/helpers/HUDManager.h"
#include "app/helpers/ui_helper_test_util.h"

namespace {

using apptest::UiHelperTest;

class HUDManagerTest : public UiHelperTest {
 protected:
  // The HUDs among the key window's subviews that are showing.
  std::vector<std::shared_ptr<ui::ProgressHUD>> shownHUDs(const uikit::View& view) const {
    std::vector<std::shared_ptr<ui::ProgressHUD>> huds;
    for (const std::shared_ptr<uikit::View>& subview : view.subviews()) {
      auto hud = std::dynamic_pointer_cast<ui::ProgressHUD>(subview);
      if (hud && hud->isShowing()) {
        huds.push_back(hud);
      }
    }
    return huds;
  }

  // Shows a toast and returns how long, in milliseconds on the manual clock, it stayed.
  template <typename Show>
  int toastMilliseconds(Show show) {
    show();
    EXPECT_EQ(shownHUDs(*window_).size(), 1u);
    int elapsed = 0;
    while (!shownHUDs(*window_).empty() && elapsed < 10000) {
      advance(std::chrono::milliseconds(100));
      elapsed += 100;
    }
    nextTurn();
    return elapsed;
  }
};

TEST_F(HUDManagerTest, ToastsStayLongerForLongerTexts) {
  EXPECT_EQ(toastMilliseconds([] { HUDManager::showWarningWithText("一二三四五六七八九十"); }), 1000);
  EXPECT_EQ(toastMilliseconds([] { HUDManager::showWarningWithText("一二三四五六七八九十一"); }), 1500);
  EXPECT_EQ(toastMilliseconds([] { HUDManager::showWarningWithText("0123456789", 3.0); }), 3000);
  EXPECT_EQ(toastMilliseconds([] { HUDManager::showWarningWithText(std::string(35, 'x'), 3.0); }), 3000);
  EXPECT_EQ(toastMilliseconds([] { HUDManager::showWarningWithText(std::string(19, 'x'), 3.0); }), 1000);
}

TEST_F(HUDManagerTest, AToastIsATextOnTheFirstWindow) {
  HUDManager::showWarningWithText("已保存");
  const std::vector<std::shared_ptr<ui::ProgressHUD>> huds = shownHUDs(*window_);
  ASSERT_EQ(huds.size(), 1u);
  EXPECT_EQ(huds[0]->mode(), ui::ProgressHUDMode::kText);
  EXPECT_EQ(huds[0]->labelText(), "已保存");
  EXPECT_EQ(huds[0]->margin(), 12);
  EXPECT_FALSE(huds[0]->dimBackground());
}

TEST_F(HUDManagerTest, ASecondLoadingIndicatorHidesTheFirst) {
  auto screen = std::make_shared<uikit::View>(window_->bounds());
  window_->addSubview(screen);
  HUDManager::showLoadingHUDView(*screen);
  std::shared_ptr<ui::ProgressHUD> first = HUDManager::currentLoadingHUD();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->labelText(), "努力加载中");
  EXPECT_EQ(first->mode(), ui::ProgressHUDMode::kIndeterminate);
  EXPECT_TRUE(first->dimBackground());
  EXPECT_EQ(first->labelFont(), uikit::Font::boldSystemFontOfSize(14));

  HUDManager::showLoadingHUDView(*screen, "正在提交订单，请稍候");
  advance(std::chrono::milliseconds(300));
  EXPECT_EQ(shownHUDs(*screen),
            std::vector<std::shared_ptr<ui::ProgressHUD>>{HUDManager::currentLoadingHUD()});
  EXPECT_EQ(HUDManager::currentLoadingHUD()->minShowTime(), 0.3);

  HUDManager::hideHUDView();
  advance(std::chrono::milliseconds(300));
  EXPECT_TRUE(shownHUDs(*screen).empty());
}

TEST_F(HUDManagerTest, TheLoadingIndicatorStaysItsMinimumTime) {
  auto screen = std::make_shared<uikit::View>(window_->bounds());
  window_->addSubview(screen);
  HUDManager::showLoadingHUDView(*screen, "正在加载课程目录，请稍候");
  HUDManager::hideHUDView();
  advance(std::chrono::milliseconds(900));
  EXPECT_EQ(shownHUDs(*screen).size(), 1u);
  advance(std::chrono::milliseconds(100));
  EXPECT_TRUE(shownHUDs(*screen).empty());
}

}  // namespace
