// The player's controls over a playing lesson: taps and the hide timer, pans that seek or set the
// brightness and volume, full screen and the lock, the back button, and the application's life cycle.

#include "learning/player/zb_player_test_util.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Device.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/app/SystemVolume.h"

namespace learning::playertest {
namespace {

using namespace std::chrono_literals;
using uikit::GestureState;
using uikit::Point;

class PlayerControlsTest : public PlayerTest {
 protected:
  // Loads lesson 0 and waits until all of it is loaded, so that play never waits for data.
  void SetUp() override {
    ASSERT_TRUE(playUntilLoaded(url_));
    ASSERT_TRUE(runUntil([&] { return player_->progressBar()->bufferSec() == kLessonSeconds; }));
  }

  // One pan starting at `x`: one changed event per velocity, then the end.
  void pan(double x, const std::vector<Point>& velocities) {
    uikit::PanGestureRecognizer& recognizer = player_->touchView()->panGestureRecognizer();
    recognizer.simulatePan(GestureState::kBegan, Point{}, Point{}, Point{x, 100});
    for (const Point& velocity : velocities) {
      recognizer.simulatePan(GestureState::kChanged, Point{}, velocity, Point{x, 100});
    }
    recognizer.simulatePan(GestureState::kEnded, Point{}, Point{}, Point{x, 100});
    // A seek shows the loading tip, with the gestures off, until the item keeps up again.
    ASSERT_TRUE(runUntil([&] { return !player_->showLoading(); }));
  }
  void tap() { player_->touchView()->tapGestureRecognizer().simulateTap(Point{100, 100}); }
  // The lesson's URL; the signed URL names the server's time, so it is made once.
  const ns::URL url_ = onlineURL(0);

  bool controlsShown() const {
    return player_->progressBar()->alpha() == 1 && player_->navigationBar()->alpha() == 1 &&
           player_->progressBar()->isUserInteractionEnabled();
  }
  bool controlsHidden() const {
    return player_->progressBar()->alpha() == 0 && player_->navigationBar()->alpha() == 0 &&
           !player_->navigationBar()->isUserInteractionEnabled();
  }
};

TEST_F(PlayerControlsTest, ATapShowsOrHidesTheControlsAndTheyHideFiveSecondsAfterTheLastTap) {
  player_->progressBar()->btnPlayPause()->performTap();
  ASSERT_FALSE(player_->isPlaying());
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"playAtEnded 0"});
  ASSERT_TRUE(controlsShown());

  tap();
  EXPECT_TRUE(player_->hidden());
  EXPECT_TRUE(controlsHidden());
  EXPECT_TRUE(uikit::Application::sharedApplication().isStatusBarHidden());
  play(10s);
  EXPECT_TRUE(player_->hidden()) << "no timer brings them back";

  tap();
  EXPECT_TRUE(controlsShown());
  play(4900ms);
  EXPECT_TRUE(controlsShown());
  play(100ms);
  EXPECT_TRUE(controlsHidden());
}

TEST_F(PlayerControlsTest, AHorizontalPanSeeksWhereItsStepsLeadAndAVerticalOneSetsBrightnessOrVolume) {
  player_->setStalled(true);
  // 400 points a second to the right is two seconds a step; the first step only decides the direction.
  uikit::PanGestureRecognizer& recognizer = player_->touchView()->panGestureRecognizer();
  recognizer.simulatePan(GestureState::kBegan, Point{}, Point{}, Point{10, 100});
  for (const Point velocity : {Point{400, 0}, Point{400, 0}, Point{200, 0}}) {
    recognizer.simulatePan(GestureState::kChanged, Point{}, velocity, Point{10, 100});
  }
  ASSERT_NE(player_->tip()->fastForwardPanel(), nullptr);
  EXPECT_NE(player_->tip()->fastForwardPanel()->superview(), nullptr);
  EXPECT_EQ(player_->tip()->progressText().text(), "00:00:03/00:00:04");
  recognizer.simulatePan(GestureState::kEnded, Point{}, Point{}, Point{10, 100});
  ASSERT_TRUE(runUntil([&] { return !player_->showLoading(); }));
  EXPECT_FALSE(player_->isPlaying()) << "the pause asked for holds";
  EXPECT_EQ(player_->tip()->fastForwardPanel()->superview(), nullptr);
  EXPECT_NEAR(mediaSeconds(), 3, 0.001);
  EXPECT_EQ(player_->progressBar()->playedSec(), 3u);

  pan(10, {{-400, 0}, {-400, 0}, {-400, 0}});
  EXPECT_NEAR(mediaSeconds(), 0, 0.001) << "not before the start";
  ASSERT_NE(player_->tip()->rewindPanel(), nullptr);
  EXPECT_EQ(player_->tip()->rewindPanel()->superview(), nullptr);

  // A pan that only decided its direction took no step: it seeks nowhere (not to the start).
  pan(10, {{400, 0}, {400, 0}});
  ASSERT_NEAR(mediaSeconds(), 2, 0.001);
  pan(10, {{400, 0}});
  EXPECT_NEAR(mediaSeconds(), 2, 0.001);

  // Up on the right half raises the volume, on the left half the brightness, by a hundredth a step.
  const double brightness = uikit::Screen::mainScreen().brightness();
  pan(300, {{0, -500}, {0, -1000}});
  EXPECT_FLOAT_EQ(player_->currentvolue(), uikit::SystemVolume::kDefaultVolume + 0.02F);
  EXPECT_FLOAT_EQ(uikit::SystemVolume::sharedInstance().volume(), player_->currentvolue());
  EXPECT_EQ(uikit::Screen::mainScreen().brightness(), brightness);
  pan(100, {{0, 500}, {0, 500}});
  EXPECT_FLOAT_EQ(player_->currentlight(), static_cast<float>(brightness - 0.01));
  EXPECT_NEAR(mediaSeconds(), 2, 0.001) << "vertical pans do not seek";
}

TEST_F(PlayerControlsTest, FullScreenFollowsTheDeviceAndTheLockKeepsItWhileGesturesWait) {
  uikit::Device& device = uikit::Device::currentDevice();
  player_->setStalled(true);
  player_->progressBar()->btnScreen()->performTap();
  EXPECT_EQ(device.orientation(), uikit::DeviceOrientation::kLandscapeLeft);
  ASSERT_TRUE(player_->isFull());
  EXPECT_TRUE(player_->progressBar()->isFull());
  EXPECT_TRUE(player_->navigationBar()->isFull());
  player_->setFrame(uikit::Rect(0, 0, 667, 375));
  layOut();
  ASSERT_EQ(player_->btnLock()->superview(), player_.get()) << "the lock shows in full screen";
  EXPECT_EQ(player_->btnLock()->center(), (Point{40, 375.0 / 2}));
  EXPECT_EQ(player_->progressBar()->frame().maxY(), 375);

  player_->btnLock()->performTap();
  ASSERT_TRUE(player_->isLocked());
  EXPECT_TRUE(controlsHidden());
  EXPECT_EQ(player_->btnLock()->alpha(), 1);
  pan(10, {{400, 0}, {400, 0}});
  EXPECT_NEAR(mediaSeconds(), 0, 0.001) << "locked, a pan does nothing";
  EXPECT_EQ(player_->tip()->fastForwardPanel(), nullptr);
  play(3s);
  tap();
  EXPECT_EQ(player_->btnLock()->alpha(), 0) << "a tap only toggles the lock button";
  EXPECT_TRUE(controlsHidden());
  tap();
  EXPECT_EQ(player_->btnLock()->alpha(), 1);
  play(4900ms);
  EXPECT_EQ(player_->btnLock()->alpha(), 1) << "5 s after the last tap, not the first";
  play(100ms);
  EXPECT_EQ(player_->btnLock()->alpha(), 0);
  EXPECT_FALSE(player_->btnLock()->isUserInteractionEnabled());
  device.setOrientation(uikit::DeviceOrientation::kPortrait);
  EXPECT_TRUE(player_->isFull()) << "locked, portrait keeps full screen";
  player_->progressBar()->btnScreen()->performTap();
  EXPECT_TRUE(player_->isFull()) << "nor does the screen button leave it";

  device.setOrientation(uikit::DeviceOrientation::kLandscapeLeft);
  tap();
  player_->btnLock()->performTap();
  EXPECT_FALSE(player_->isLocked());
  EXPECT_TRUE(controlsShown());
  // In full screen the back button leaves full screen; outside it, it goes back.
  player_->navigationBar()->backBtn()->performTap();
  EXPECT_EQ(device.orientation(), uikit::DeviceOrientation::kPortrait);
  EXPECT_FALSE(player_->isFull());
  EXPECT_EQ(delegate_->events, std::vector<std::string>{});
  layOut();
  EXPECT_EQ(player_->btnLock()->superview(), nullptr);
  player_->navigationBar()->backBtn()->performTap();
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"navBack " + url_.absoluteString()});
  EXPECT_EQ(player_->player(), nullptr) << "the player ended its media first";
  EXPECT_EQ(player_->pllayer().player(), nullptr);
}

TEST_F(PlayerControlsTest, TheBackgroundPausesAndBecomingActiveStepsBackASecondUnlessAPauseWasAsked) {
  play(2600ms);
  ASSERT_EQ(player_->progressBar()->playedSec(), 2u);
  uikit::Application& application = uikit::Application::sharedApplication();
  application.enterBackground();
  EXPECT_FALSE(player_->isPlaying());
  application.becomeActive();
  EXPECT_NEAR(mediaSeconds(), 1, 0.001);
  ASSERT_TRUE(runUntil([&] { return player_->isPlaying(); }));

  player_->setStalled(true);
  application.enterBackground();
  const double paused = mediaSeconds();
  application.becomeActive();
  EXPECT_EQ(mediaSeconds(), paused);
  play(1s);
  EXPECT_FALSE(player_->isPlaying());
  EXPECT_EQ(mediaSeconds(), paused);
  player_->progressBar()->btnPlayPause()->performTap();
  EXPECT_TRUE(player_->isPlaying()) << "the play button clears the request";
}

TEST_F(PlayerControlsTest, TheDelegateHearsOnlyWhatItAnswersAndStaysUntilTheOwnerLetsGo) {
  const std::string url = url_.absoluteString();
  player_->progressBar()->btnLast()->performTap();
  player_->progressBar()->btnNext()->performTap();
  EXPECT_EQ(delegate_->events, (std::vector<std::string>{"last " + url, "next " + url}));

  delegate_->events.clear();
  delegate_->answered = {ZBPlayerDelegate::Callback::kDidStop};
  player_->progressBar()->btnLast()->performTap();
  player_->progressBar()->btnPlayPause()->performTap();
  player_->navigationBar()->backBtn()->performTap();
  EXPECT_EQ(delegate_->events, std::vector<std::string>{});
  EXPECT_NE(player_->player(), nullptr) << "a back that nobody hears keeps the media";

  // The player holds its delegate strongly until the owner lets go.
  const std::weak_ptr<RecordingPlayerDelegate> held = delegate_;
  delegate_ = std::make_shared<RecordingPlayerDelegate>();
  EXPECT_FALSE(held.expired());
  player_->setDelegate(nullptr);
  EXPECT_TRUE(held.expired());
  player_->navigationBar()->backBtn()->performTap();
  EXPECT_NE(player_->player(), nullptr);
}

}  // namespace
}  // namespace learning::playertest
