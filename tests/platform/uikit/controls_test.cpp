#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/uikit/controls/Button.h"
#include "platform/uikit/controls/Slider.h"
#include "platform/uikit/controls/TextView.h"
#include "platform/uikit/views/WebView.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

using ::testing::ElementsAre;

class FeedbackDelegate : public TextViewDelegate, public WebViewDelegate {
 public:
  void textViewDidChange(TextView& view) override { changes.push_back(view.text()); }
  void webViewDidStartLoad(WebView&) override { changes.push_back("start"); }
  void webViewDidFinishLoad(WebView&) override { changes.push_back("finish"); }
  std::vector<std::string> changes;
};

class ControlsTest : public UikitTest {};

TEST_F(ControlsTest, AButtonFallsBackToTheNormalStatesValues) {
  auto button = std::make_shared<Button>();
  button->setTitle("全部暂停", kControlStateNormal);
  button->setBackgroundImage(Image::imageNamed("xiexi_selected_off"), kControlStateNormal);
  button->setBackgroundImage(Image::imageNamed("xiexi_selected_on"), kControlStateSelected);

  button->setSelected(true);
  EXPECT_EQ(button->currentTitle(), "全部暂停");
  EXPECT_EQ(button->currentBackgroundImage()->name(), "xiexi_selected_on");

  button->setSelected(false);
  button->setEnabled(false);
  EXPECT_EQ(button->currentBackgroundImage()->name(), "xiexi_selected_off");
  button->setTitle(std::nullopt, kControlStateNormal);
  EXPECT_EQ(button->currentTitle(), "");
}

// A target that counts the taps its button sends.
class TapCounter {
 public:
  void tapped(Button&) { ++taps; }
  int taps = 0;
};

TEST_F(ControlsTest, ActionsReachOnlyTargetsStillAliveAndNotRemoved) {
  auto button = std::make_shared<Button>();
  auto kept = std::make_shared<TapCounter>();
  auto removed = std::make_shared<TapCounter>();
  auto gone = std::make_shared<TapCounter>();
  for (const auto& target : {kept, removed, gone}) {
    button->addTarget(target, &TapCounter::tapped, kControlEventTouchUpInside);
  }

  button->removeTarget(removed.get(), kControlEventAllEvents);
  // Calling the target that has gone would be a use after free, which the sanitizer reports.
  gone.reset();
  button->performTap();

  EXPECT_EQ(kept->taps, 1);
  EXPECT_EQ(removed->taps, 0);
}

TEST_F(ControlsTest, TypingIntoATextViewTellsItsDelegate) {
  auto view = std::make_shared<TextView>();
  auto delegate = std::make_shared<FeedbackDelegate>();
  view->setDelegate(delegate);

  EXPECT_TRUE(view->replaceTextByTyping("  "));
  EXPECT_TRUE(view->pressReturnKey());

  EXPECT_EQ(view->text(), "  \n");
  EXPECT_THAT(delegate->changes, ElementsAre("  ", "  \n"));
}

TEST_F(ControlsTest, ASliderKeepsItsValueInRange) {
  auto slider = std::make_shared<Slider>();
  slider->setMaximumValue(10);
  slider->setValue(12);
  EXPECT_EQ(slider->value(), 10);
  slider->setMaximumValue(5);
  EXPECT_EQ(slider->value(), 5);
  slider->setValue(-1);
  EXPECT_EQ(slider->value(), 0);
}

TEST_F(ControlsTest, AWebViewRecordsItsLoadsAndFinishesOnTheNextTurn) {
  auto web = std::make_shared<WebView>();
  auto delegate = std::make_shared<FeedbackDelegate>();
  web->setDelegate(delegate);

  web->loadRequest("tel:4006009000");
  EXPECT_TRUE(web->isLoading());
  EXPECT_THAT(delegate->changes, ElementsAre("start"));
  nextTurn();

  EXPECT_FALSE(web->isLoading());
  EXPECT_THAT(delegate->changes, ElementsAre("start", "finish"));
  EXPECT_EQ(web->loads().back().url, "tel:4006009000");
}

}  // namespace
}  // namespace uikit::testing
