#include <gtest/gtest.h>

#include "app/base/QMBaseNavigationController.h"
#include "app/base/QMBaseViewController.h"
#include "app/helpers/MyButtonSelf.h"
#include "app/helpers/ui_helper_test_util.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Device.h"

namespace app {

namespace {

using apptest::UiHelperTest;

class BaseControllersTest : public UiHelperTest {};

TEST_F(BaseControllersTest, BaseScreensStayInPortraitWhenTheDeviceTurns) {
  auto screen = std::make_shared<QMBaseViewController>();
  window_->setRootViewController(screen);
  nextTurn();
  uikit::Device::currentDevice().setOrientation(uikit::DeviceOrientation::kLandscapeLeft);
  EXPECT_EQ(uikit::Application::sharedApplication().statusBarOrientation(),
            uikit::InterfaceOrientation::kPortrait);
  EXPECT_EQ(screen->preferredInterfaceOrientationForPresentation(), uikit::InterfaceOrientation::kPortrait);
  uikit::Device::currentDevice().setOrientation(uikit::DeviceOrientation::kPortrait);
}

TEST_F(BaseControllersTest, NavigationBarsShowWhiteBoldTitlesOnTheTint) {
  auto navigation = std::make_shared<QMBaseNavigationController>(std::make_shared<QMBaseViewController>());
  window_->setRootViewController(navigation);
  nextTurn();
  const uikit::NavigationBar& bar = navigation->navigationBar();
  EXPECT_EQ(bar.tintColor(), uikit::Color::hsba(0.51, 0.598, 0.8, 1.0));
  EXPECT_EQ(bar.titleTextAttributes().font, uikit::Font::boldSystemFontOfSize(18));
  EXPECT_EQ(bar.titleTextAttributes().foregroundColor, uikit::Color::white(1));
  EXPECT_EQ(navigation->supportedInterfaceOrientations(), uikit::kInterfaceOrientationMaskPortrait);
  uikit::Device::currentDevice().setOrientation(uikit::DeviceOrientation::kLandscapeLeft);
  EXPECT_EQ(uikit::Application::sharedApplication().statusBarOrientation(),
            uikit::InterfaceOrientation::kPortrait);
  uikit::Device::currentDevice().setOrientation(uikit::DeviceOrientation::kPortrait);
}

TEST(MyButtonSelfTest, TheImageSitsAtTheRightEdgeWhateverTheContentRect) {
  MyButtonSelf button(uikit::Rect(10, 10, 120, 40));
  EXPECT_EQ(button.imageRectForContentRect(uikit::Rect(5, 5, 60, 30)), uikit::Rect(98, 0, 22, 22));
  EXPECT_EQ(button.titleRectForContentRect(uikit::Rect(5, 5, 60, 30)), uikit::Rect(0, 0, 98, 22));
}

}  // namespace

}  // namespace app
