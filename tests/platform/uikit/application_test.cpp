#include "platform/uikit/app/Application.h"

#include "platform/uikit/app/Device.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

class RecordingDelegate : public ApplicationDelegate {
 public:
  bool didFinishLaunchingWithOptions(Application&, const ns::Dictionary&) override {
    events.push_back("launch");
    return true;
  }
  void applicationWillResignActive(Application&) override { events.push_back("resign"); }
  void applicationDidEnterBackground(Application&) override { events.push_back("background"); }
  void applicationWillEnterForeground(Application&) override { events.push_back("foreground"); }
  void applicationDidBecomeActive(Application&) override { events.push_back("active"); }
  void applicationWillTerminate(Application&) override { events.push_back("terminate"); }
  std::vector<std::string> events;
};

// A screen with chosen orientation answers.
class TurningController : public ViewController {
 public:
  TurningController(bool autorotates, InterfaceOrientationMask supported, InterfaceOrientation preferred)
      : autorotates_(autorotates), supported_(supported), preferred_(preferred) {}
  bool shouldAutorotate() const override { return autorotates_; }
  InterfaceOrientationMask supportedInterfaceOrientations() const override { return supported_; }
  InterfaceOrientation preferredInterfaceOrientationForPresentation() const override { return preferred_; }

 private:
  bool autorotates_;
  InterfaceOrientationMask supported_;
  InterfaceOrientation preferred_;
};

class ApplicationTest : public UikitTest {
 protected:
  Application& application_ = Application::sharedApplication();
  NotificationLog posted_{{"Application", "Device"}};
};

TEST_F(ApplicationTest, LifeCycleCallsTheDelegateThenPostsAndPassesThroughSkippedStates) {
  auto delegate = std::make_shared<RecordingDelegate>();
  application_.launch(delegate);
  application_.enterBackground();
  application_.becomeActive();
  application_.terminate();

  EXPECT_THAT(delegate->events,
              ElementsAre("launch", "active", "resign", "background", "foreground", "active", "terminate"));
  EXPECT_THAT(
      posted_.names,
      ElementsAre(kApplicationDidFinishLaunchingNotification, kApplicationDidBecomeActiveNotification,
                  kApplicationWillResignActiveNotification, kApplicationDidEnterBackgroundNotification,
                  kApplicationWillEnterForegroundNotification, kApplicationDidBecomeActiveNotification,
                  kApplicationWillTerminateNotification));
  EXPECT_EQ(application_.applicationState(), ApplicationState::kActive);
}

TEST_F(ApplicationTest, KeepsTheFirstWindowApartFromTheKeyWindow) {
  auto first = showWindowWithRoot(std::make_shared<ViewController>());
  auto second = showWindowWithRoot(std::make_shared<ViewController>());
  EXPECT_EQ(application_.windows().front(), first);
  EXPECT_EQ(application_.keyWindow(), second);
  EXPECT_FALSE(first->isKeyWindow());
}

TEST_F(ApplicationTest, TheInterfaceFollowsTheDeviceOrAPresentedScreenOnlyWhenTheScreenAllowsIt) {
  auto fixed = std::make_shared<TurningController>(false, kInterfaceOrientationMaskPortrait,
                                                   InterfaceOrientation::kPortrait);
  auto window = showWindowWithRoot(fixed);
  fixed->presentViewController(std::make_shared<TurningController>(true, kInterfaceOrientationMaskLandscape,
                                                                   InterfaceOrientation::kLandscapeLeft),
                               false);
  EXPECT_EQ(application_.statusBarOrientation(), InterfaceOrientation::kLandscapeLeft);
  fixed->dismissViewControllerAnimated(false);
  EXPECT_EQ(application_.statusBarOrientation(), InterfaceOrientation::kPortrait);

  posted_.names.clear();
  Device::currentDevice().setOrientation(DeviceOrientation::kLandscapeLeft);
  EXPECT_EQ(application_.statusBarOrientation(), InterfaceOrientation::kPortrait);
  EXPECT_THAT(posted_.names, ElementsAre(kDeviceOrientationDidChangeNotification));

  posted_.names.clear();
  window->setRootViewController(std::make_shared<TurningController>(
      true, kInterfaceOrientationMaskAllButUpsideDown, InterfaceOrientation::kPortrait));
  EXPECT_EQ(application_.statusBarOrientation(), InterfaceOrientation::kLandscapeRight);
  EXPECT_THAT(posted_.names, ElementsAre(kApplicationWillChangeStatusBarOrientationNotification,
                                         kApplicationDidChangeStatusBarOrientationNotification));
}

}  // namespace
}  // namespace uikit::testing
