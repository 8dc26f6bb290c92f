// The full-screen player screen: a landscape-only player that never leaves full screen, whose events reach
// the screen's delegate when it answers them, the back button after the screen is dismissed.

#include <gtest/gtest.h>

#include "learning/player/ZBPlayerViewController.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Device.h"
#include "platform/uikit/app/Window.h"
#include "support/process_reset.h"

namespace learning {
namespace {

// Answers only the end of play and the back button, and notes whether the screen was still presented.
class LessonListOwner : public ZBPlayerViewControllerDelegate {
 public:
  bool answers(Callback callback) const override {
    return callback == Callback::kDidStop || callback == Callback::kOnClickedNavBack;
  }
  void playerDidStop(ZBPlayer&, const std::optional<ns::Error>& error) override {
    events.push_back(error ? "didStop " + error->domain() : "didStop");
  }
  void playerOnClickedNavBack(ZBPlayer&, const std::optional<ns::URL>&) override {
    events.push_back(std::string("navBack, presented: ") +
                     (presenter->presentedViewController() ? "yes" : "no"));
  }

  std::shared_ptr<uikit::ViewController> presenter;
  std::vector<std::string> events;
};

class ZBPlayerViewControllerTest : public ::testing::Test {
 protected:
  ZBPlayerViewControllerTest() {
    testsupport::resetForTesting();
    window_->setRootViewController(root_);
    window_->makeKeyAndVisible();
    owner_->presenter = root_;
    controller_->setDelegate(owner_);
    root_->presentViewController(controller_, true);
    ns::RunLoop::main().runPending();
  }
  ~ZBPlayerViewControllerTest() override {
    controller_->setDelegate(nullptr);
    testsupport::resetForTesting();
  }

  std::shared_ptr<uikit::Window> window_ = std::make_shared<uikit::Window>();
  std::shared_ptr<uikit::ViewController> root_ = std::make_shared<uikit::ViewController>();
  std::shared_ptr<ZBPlayerViewController> controller_ = std::make_shared<ZBPlayerViewController>();
  std::shared_ptr<LessonListOwner> owner_ = std::make_shared<LessonListOwner>();
};

TEST_F(ZBPlayerViewControllerTest, HostsALandscapePlayerThatNeverLeavesFullScreen) {
  EXPECT_EQ(controller_->supportedInterfaceOrientations(), 24u);
  const uikit::InterfaceOrientation interface =
      uikit::Application::sharedApplication().statusBarOrientation();
  EXPECT_NE(uikit::maskOf(interface) & uikit::kInterfaceOrientationMaskLandscape, 0u)
      << "the screen turns the interface to a landscape it supports";
  const std::shared_ptr<ZBPlayer>& player = controller_->playerView();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(player->superview(), controller_->view().get());
  EXPECT_EQ(player->frame(), uikit::Rect(0, 0, 667, 375)) << "landscape-sized, however the device is held";
  EXPECT_TRUE(player->isFull());
  EXPECT_TRUE(player->progressBar()->onlyFull());

  uikit::Device::currentDevice().setOrientation(uikit::DeviceOrientation::kPortrait);
  EXPECT_TRUE(player->isFull()) << "portrait leaves only a full screen that can be left";
  player->setFrame(uikit::Rect());
  uikit::Device::currentDevice().setOrientation(uikit::DeviceOrientation::kLandscapeLeft);
  controller_->onChangeOrenation();
  EXPECT_EQ(player->frame(), uikit::Rect(0, 0, 667, 375));
}

TEST_F(ZBPlayerViewControllerTest, ForwardsWhatItsDelegateAnswersAndDismissesBeforeGoingBack) {
  const std::shared_ptr<ZBPlayer> player = controller_->playerView();
  player->playerDidEndwithError(std::nullopt);
  player->progressBar()->btnPlayPause()->performTap();
  player->progressBar()->btnNext()->performTap();
  EXPECT_EQ(owner_->events, std::vector<std::string>{"didStop"}) << "the others are not answered";

  player->navigationBar()->backBtn()->performTap();
  EXPECT_EQ(owner_->events.back(), "navBack, presented: no");
  EXPECT_EQ(root_->presentedViewController(), nullptr);
}

TEST_F(ZBPlayerViewControllerTest, TheScreenAndItsPlayerDoNotKeepEachOtherAlive) {
  const std::weak_ptr<ZBPlayerViewController> screen = controller_;
  const std::weak_ptr<ZBPlayer> player = controller_->playerView();
  root_->dismissViewControllerAnimated(false);
  ns::RunLoop::main().runPending();
  controller_->setDelegate(nullptr);
  controller_.reset();
  EXPECT_TRUE(screen.expired());
  EXPECT_TRUE(player.expired());
  controller_ = std::make_shared<ZBPlayerViewController>();
}

}  // namespace
}  // namespace learning
