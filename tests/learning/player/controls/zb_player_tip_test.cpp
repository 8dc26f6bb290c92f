#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "learning/player/controls/ZBPlayerTip.h"
#include "support/process_reset.h"

namespace learning {
namespace {

class ZBPlayerTipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetForTesting();
    tip_->setSView(host_);
  }

  // Which panels are on the host view: "L" loading, "F" fast-forward, "W" rewind, "E" error.
  std::string panelsOnScreen() const {
    std::string shown;
    const auto onScreen = [&](const std::shared_ptr<uikit::ImageView>& panel, char letter) {
      if (panel && panel->superview() == host_.get()) {
        shown += letter;
      }
    };
    onScreen(tip_->loadingPanel(), 'L');
    onScreen(tip_->fastForwardPanel(), 'F');
    onScreen(tip_->rewindPanel(), 'W');
    onScreen(tip_->errorPanel(), 'E');
    return shown;
  }

  std::shared_ptr<uikit::View> host_ = std::make_shared<uikit::View>(uikit::Rect(0, 0, 375, 211));
  std::shared_ptr<ZBPlayerTip> tip_ = std::make_shared<ZBPlayerTip>();
};

TEST_F(ZBPlayerTipTest, EachShowReplacesThePanelsItStandsFor) {
  const struct {
    void (ZBPlayerTip::*step)();
    const char* shown;
  } steps[] = {
      {&ZBPlayerTip::showLoading, "L"}, {&ZBPlayerTip::showFF, "F"},     {&ZBPlayerTip::showFW, "W"},
      {&ZBPlayerTip::showLoading, "L"}, {&ZBPlayerTip::hideLoading, ""}, {&ZBPlayerTip::showFF, "F"},
      {&ZBPlayerTip::hideFF, ""},       {&ZBPlayerTip::showFW, "W"},     {&ZBPlayerTip::hideFW, ""},
  };
  for (const auto& step : steps) {
    (tip_.get()->*step.step)();
    EXPECT_EQ(panelsOnScreen(), step.shown);
  }

  tip_->showFF();
  tip_->showErrorInfo("播放失败");
  EXPECT_EQ(panelsOnScreen(), "FE");  // an error leaves the seek panel alone
  EXPECT_EQ(tip_->errorInfoLabel().text(), "播放失败");
  tip_->showLoading();
  EXPECT_EQ(panelsOnScreen(), "L");
  EXPECT_EQ(host_->subviews().size(), 1U);  // every replaced panel has left the host
}

TEST_F(ZBPlayerTipTest, PanelsAreCentredRoundedAndShowTheirContent) {
  tip_->showLoading();
  const auto& loading = *tip_->loadingPanel();
  EXPECT_EQ(tip_->currentTip().get(), &loading);
  EXPECT_EQ(loading.frame(), uikit::Rect(127.5, 65.5, 120, 80));
  EXPECT_EQ(loading.layer().cornerRadius(), 10);
  EXPECT_EQ(loading.image()->capInsets(), (uikit::EdgeInsets{10, 10, 10, 10}));
  EXPECT_EQ(loading.shownTexts(), std::vector<std::string>{"加载中"});

  tip_->showFF();
  tip_->setCurrent("00:01:05", "00:10:00");
  EXPECT_EQ(tip_->progressText().superview(), tip_->fastForwardPanel().get());
  EXPECT_EQ(tip_->progressText().frame(), uikit::Rect(0, 50, 120, 15));
  tip_->showFW();
  EXPECT_EQ(tip_->progressText().superview(), tip_->rewindPanel().get());
  EXPECT_EQ(tip_->progressText().text(), "00:01:05/00:10:00");

  tip_->setCenter(uikit::Point{50, 60});
  EXPECT_EQ(tip_->rewindPanel()->center(), (uikit::Point{50, 60}));
}

TEST_F(ZBPlayerTipTest, SeekTextColoursTheCurrentTimeAlone) {
  const uikit::Color accent = uikit::Color::rgba(76.0 / 255, 197.0 / 255, 205.0 / 255, 1);
  const struct {
    const char* current;
    std::size_t currentLength;
  } cases[] = {{"00:01:05", 8}, {"100:00:00", 9}};
  for (const auto& c : cases) {
    tip_->setCurrent(c.current, "120:00:00");
    // The coloured runs come after the plain run of the whole text.
    const auto& runs = tip_->progressText().attributedText()->runs();
    ASSERT_EQ(runs.size(), 3U);
    EXPECT_EQ(runs[1].location, 0U);
    EXPECT_EQ(runs[1].length, c.currentLength);
    EXPECT_EQ(runs[1].attributes.foregroundColor, accent);
    EXPECT_EQ(runs[2].location, c.currentLength);
    EXPECT_EQ(runs[2].length, 10U);
    EXPECT_EQ(runs[2].attributes.foregroundColor, uikit::Color::white(1));
  }
}

}  // namespace
}  // namespace learning
