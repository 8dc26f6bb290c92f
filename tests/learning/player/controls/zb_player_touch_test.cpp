#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "learning/player/controls/ZBPlayerTouch.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Device.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/controllers/ViewController.h"
#include "support/process_reset.h"

namespace learning {
namespace {

using uikit::GestureState;
using uikit::Point;

class RecordingTouchDelegate : public ZBPlayerTouchDelegate {
 public:
  void touchOnClicked(ZBPlayerTouch&, bool clicked) override { events.push_back(clicked ? "clicked" : "?"); }
  void touchOnChangingValue(ZBPlayerTouch&, float value) override { values.push_back(value); }
  void touchOnChangedValue(ZBPlayerTouch&, bool changed) override {
    events.push_back(changed ? "changed" : "?");
  }

  std::vector<std::string> events;
  std::vector<float> values;
};

class ZBPlayerTouchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetForTesting();
    touch_->setDelegate(delegate_);
  }
  void TearDown() override { testsupport::resetForTesting(); }

  // One pan: began at `startX`, one changed event per velocity, then ended.
  void pan(double startX, const std::vector<Point>& velocities) {
    auto& recognizer = touch_->panGestureRecognizer();
    recognizer.simulatePan(GestureState::kBegan, Point{}, Point{}, Point{startX, 100});
    for (const Point& velocity : velocities) {
      recognizer.simulatePan(GestureState::kChanged, Point{3, 4}, velocity, Point{startX, 100});
      EXPECT_EQ(recognizer.translationInView(touch_.get()), Point{});
    }
    recognizer.simulatePan(GestureState::kEnded, Point{}, Point{}, Point{startX, 100});
  }

  std::shared_ptr<ZBPlayerTouch> touch_ = std::make_shared<ZBPlayerTouch>(uikit::Rect(0, 0, 375, 211));
  std::shared_ptr<RecordingTouchDelegate> delegate_ = std::make_shared<RecordingTouchDelegate>();
};

TEST_F(ZBPlayerTouchTest, PanDecidesItsDirectionOnceAndReportsScaledVelocities) {
  const struct {
    const char* name;
    double startX;
    std::vector<Point> velocities;
    std::int32_t direction;
    std::int32_t area;
    std::vector<float> values;
  } cases[] = {
      {"rightward seek", 10, {{400, 10}, {400, 10}, {-100, 0}}, 1, 0, {2.0F, -0.5F}},
      {"upward on the right", 300, {{10, -600}, {0, -1000}, {0, 250}}, 2, 1, {2.0F, -0.5F}},
      {"diagonal, then clearly vertical", 100, {{300, 300}, {100, 200}, {0, -500}, {0, -500}}, 2, 0, {1.0F}},
      {"only diagonal", 100, {{300, 300}, {-200, 150}}, 0, 0, {}},
      {"exactly three times is not clearly faster", 100, {{300, 100}}, 0, 0, {}},
      {"starting at the middle acts on the left", 187.5, {{0, 100}, {0, 100}}, 2, 0, {-0.2F}},
      {"just right of the middle", 187.6, {}, 0, 1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    delegate_->values.clear();
    delegate_->events.clear();
    pan(c.startX, c.velocities);
    EXPECT_EQ(touch_->direction(), c.direction);
    EXPECT_EQ(touch_->area(), c.area);
    EXPECT_EQ(delegate_->values, c.values);
    EXPECT_EQ(delegate_->events, std::vector<std::string>{"changed"});
  }
}

TEST_F(ZBPlayerTouchTest, FullScreenSplitsTheAreasAtItsOwnMiddle) {
  auto window = std::make_shared<uikit::Window>();
  window->setRootViewController(std::make_shared<uikit::ViewController>());
  window->makeKeyAndVisible();
  ns::RunLoop::main().runPending();
  uikit::Device::currentDevice().setOrientation(uikit::DeviceOrientation::kLandscapeLeft);
  ASSERT_EQ(uikit::Application::sharedApplication().statusBarOrientation(),
            uikit::InterfaceOrientation::kLandscapeRight);
  const double middle = uikit::Screen::mainScreen().bounds().height() / 2;
  pan(middle - 10, {});
  EXPECT_EQ(touch_->area(), 0);
  pan(middle + 10, {});
  EXPECT_EQ(touch_->area(), 1);
}

TEST_F(ZBPlayerTouchTest, TapsAndPansReachTheDelegateOnlyWhileAvailable) {
  touch_->tapGestureRecognizer().simulateTap(Point{5, 5});
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"clicked"});

  touch_->setTapAvailable(false);
  touch_->setPanAvailable(false);
  touch_->tapGestureRecognizer().simulateTap(Point{5, 5});
  pan(10, {{400, 0}, {400, 0}});
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"clicked"});
  EXPECT_TRUE(delegate_->values.empty());

  touch_->setPanAvailable(true);
  touch_->setDelegate(nullptr);
  pan(10, {{400, 0}, {400, 0}});
  EXPECT_EQ(touch_->direction(), 1);
}

}  // namespace
}  // namespace learning
