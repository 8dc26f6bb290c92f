#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "learning/player/controls/ZBPlayerProgressBar.h"
#include "support/process_reset.h"

namespace learning {
namespace {

// The bar as the player lays it out, with a ten-minute lesson.
class ZBPlayerProgressBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetForTesting();
    bar_->setDurationSec(600);
    bar_->addAction([this](uikit::Control&) { seeks_.push_back(bar_->playedSec()); },
                    uikit::kControlEventValueChanged);
    draw();
  }

  void draw() { bar_->drawRect(bar_->bounds()); }
  uikit::Rect sliderFrame() const { return bar_->sliderView()->frame(); }
  bool shown(const std::shared_ptr<uikit::Button>& button) const {
    return button->superview() == bar_.get() && !button->isHidden();
  }

  std::shared_ptr<ZBPlayerProgressBar> bar_ =
      std::make_shared<ZBPlayerProgressBar>(uikit::Rect(0, 0, 375, 50));
  std::vector<std::uint32_t> seeks_;
};

TEST(ZBPlayerProgressBarTimeTest, FormatsHoursMinutesAndSecondsWithoutWrappingHours) {
  const struct {
    std::uint32_t seconds;
    const char* text;
  } cases[] = {
      {0, "00:00:00"},    {59, "00:00:59"},     {61, "00:01:01"},      {3599, "00:59:59"},
      {3600, "01:00:00"}, {359999, "99:59:59"}, {360000, "100:00:00"}, {4294967295U, "1193046:28:15"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ZBPlayerProgressBar::timeStringFromDurationSecond(c.seconds), c.text) << c.seconds;
  }
}

TEST_F(ZBPlayerProgressBarTest, TimeLabelsShowPlayedAndDurationSideBySide) {
  EXPECT_EQ(bar_->currentTimeLabel().text(), "00:00:00/");
  EXPECT_EQ(bar_->durationLabel().text(), "/00:10:00");
  for (std::uint32_t second : {65U, 3725U, 7U}) {
    bar_->setPlayedSec(second);
    EXPECT_EQ(bar_->currentTimeLabel().text(), ZBPlayerProgressBar::timeStringFromDurationSecond(second));
    // The duration follows the played time however often the bar lays out.
    EXPECT_EQ(bar_->durationLabel().frame().minX(), bar_->currentTimeLabel().frame().maxX());
    EXPECT_EQ(bar_->durationLabel().frame().minY(), sliderFrame().minY() + 20);
  }
  EXPECT_EQ(bar_->sliderView()->minValue(), 7);
  bar_->setBufferSec(120);
  EXPECT_FLOAT_EQ(bar_->sliderView()->bufferedLine().strokeEnd(), 0.2F);
}

TEST_F(ZBPlayerProgressBarTest, DragReleasedAnywhereSeeksWithinTheLesson) {
  const double width = sliderFrame().width();
  const struct {
    double releaseX;
    std::uint32_t second;
  } cases[] = {{-40, 0}, {0, 0}, {width * 150.5 / 600, 150}, {width, 600}, {width + 90, 600}};
  for (const auto& c : cases) {
    seeks_.clear();
    bar_->setOnPlay(true);
    std::vector<bool> announced;
    const auto observation = bar_->observe(
        ZBPlayerProgressBar::kOnDragKey,
        [&](const ns::KeyValueChange& change) { announced.push_back(change.newValue.boolValue()); });
    bar_->sliderView()->touchesBegan(uikit::Point{width / 2, 5});
    bar_->setPlayedSec(10);  // Playback goes on while the finger holds the knob.
    EXPECT_EQ(bar_->currentTimeLabel().text(), "00:05:00");
    EXPECT_TRUE(bar_->onDrag());
    bar_->sliderView()->touchesMoved(uikit::Point{c.releaseX, 5});
    bar_->sliderView()->touchesEnded(uikit::Point{c.releaseX, 5});

    EXPECT_EQ(seeks_, std::vector<std::uint32_t>{c.second}) << c.releaseX;
    EXPECT_EQ(bar_->currentTimeLabel().text(), ZBPlayerProgressBar::timeStringFromDurationSecond(c.second));
    EXPECT_FALSE(bar_->onDrag());
    EXPECT_FALSE(bar_->onPlay());
    EXPECT_EQ(announced.back(), false);
    EXPECT_EQ(announced.front(), true);
  }
}

TEST_F(ZBPlayerProgressBarTest, DragToTheRightEndSeeksToTheEndWhateverTheScale) {
  const double width = sliderFrame().width();
  for (std::uint32_t duration : {31U, 441U, 600U}) {
    bar_->setDurationSec(duration);
    bar_->sliderView()->touchesBegan(uikit::Point{width / 2, 5});
    bar_->sliderView()->touchesMoved(uikit::Point{width + 10, 5});
    bar_->sliderView()->touchesEnded(uikit::Point{width + 10, 5});
    EXPECT_EQ(seeks_.back(), duration);
  }
}

TEST_F(ZBPlayerProgressBarTest, KnobAndLinesFollowThePlayedSecond) {
  const ZBPlayerSlider& slider = *bar_->sliderView();
  const double width = sliderFrame().width();
  const struct {
    std::uint32_t second;
    double knobX;
    float played;
  } cases[] = {{0, 0, 0}, {150, width / 4, 0.25F}, {600, width, 1}};
  for (const auto& c : cases) {
    bar_->setPlayedSec(c.second);
    EXPECT_NEAR(slider.knob().center().x, c.knobX, 1e-3) << c.second;
    EXPECT_FLOAT_EQ(slider.playedLine().strokeEnd(), c.played);
    EXPECT_EQ(slider.trackLine().strokeEnd(), 1.0);
    EXPECT_EQ(slider.playedLine().path(), slider.trackLine().path());
  }
  // Without a duration only the line's path is laid out: the knob and the lines stay where they were.
  bar_->setDurationSec(0);
  bar_->setPlayedSec(30);
  EXPECT_NEAR(slider.knob().center().x, width, 1e-3);
  EXPECT_FLOAT_EQ(slider.playedLine().strokeEnd(), 1);
}

TEST_F(ZBPlayerProgressBarTest, SideButtonsShowOnlyInFullScreenAndComeBackWhenUnhidden) {
  const struct {
    bool full;
    bool hiddenLast;
    bool hiddenNext;
    bool onlyFull;
  } cases[] = {
      {false, false, false, false}, {true, false, false, false}, {true, true, false, false},
      {true, false, true, true},    {true, false, false, false}, {false, true, true, false},
  };
  for (const auto& c : cases) {
    bar_->setIsFull(c.full);
    bar_->setHiddenLast(c.hiddenLast);
    bar_->setHiddenNext(c.hiddenNext);
    bar_->setOnlyFull(c.onlyFull);
    draw();
    EXPECT_EQ(shown(bar_->btnLast()), c.full && !c.hiddenLast);
    EXPECT_EQ(shown(bar_->btnNext()), c.full && !c.hiddenNext);
    EXPECT_TRUE(shown(bar_->btnPlayPause()));
    EXPECT_EQ(shown(bar_->btnScreen()), !c.onlyFull);
    EXPECT_EQ(bar_->btnScreen()->currentImage()->name(), c.full ? "iconScreenNormal" : "iconScreenFull");
    // The seek line fills what the buttons leave, 8 points from the left ones.
    const double left = bar_->btnPlayPause()->frame().maxX() + (shown(bar_->btnNext()) ? 30 : 0);
    EXPECT_EQ(sliderFrame().minX(), left + 8);
    EXPECT_EQ(sliderFrame().maxX(), (c.onlyFull ? 375 : 345) - 8);
  }
}

TEST_F(ZBPlayerProgressBarTest, PlayButtonShowsWhatATapWouldDo) {
  EXPECT_EQ(bar_->height(), 30);
  bar_->setOnPlay(true);
  EXPECT_EQ(bar_->btnPlayPause()->currentImage()->name(), "iconPause");
  bar_->setOnPlay(false);
  EXPECT_EQ(bar_->btnPlayPause()->currentImage()->name(), "iconPlay");
}

}  // namespace
}  // namespace learning
