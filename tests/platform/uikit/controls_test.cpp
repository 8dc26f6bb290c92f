#include "platform/uikit/controls/Button.h"
#include "platform/uikit/controls/Slider.h"
#include "platform/uikit/controls/TextView.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

class FeedbackDelegate : public TextViewDelegate {
 public:
  void textViewDidChange(TextView& view) override { changes.push_back(view.text()); }
  std::vector<std::string> changes;
};

// Counts the taps its button sends.
class TapCounter {
 public:
  void tapped(Button&) { ++taps; }
  int taps = 0;
};

using ControlsTest = UikitTest;

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

TEST_F(ControlsTest, ActionsReachOnlyTargetsStillAliveAndNotRemoved) {
  auto button = std::make_shared<Button>();
  auto kept = std::make_shared<TapCounter>();
  auto removed = std::make_shared<TapCounter>();
  auto gone = std::make_shared<TapCounter>();
  for (const auto& target : {kept, removed, gone}) {
    button->addTarget(target, &TapCounter::tapped, kControlEventTouchUpInside);
  }
  button->removeTarget(removed.get(), kControlEventAllEvents);
  gone.reset();  // calling it now would be a use after free, which the sanitizer reports
  button->performTap();

  EXPECT_EQ(kept->taps, 1);
  EXPECT_EQ(removed->taps, 0);
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

TEST_F(ControlsTest, TypingTellsTheDelegate) {
  auto delegate = std::make_shared<FeedbackDelegate>();
  auto text = std::make_shared<TextView>();
  text->setDelegate(delegate);
  EXPECT_TRUE(text->replaceTextByTyping("  "));
  EXPECT_TRUE(text->pressReturnKey());
  EXPECT_EQ(text->text(), "  \n");
  EXPECT_THAT(delegate->changes, ElementsAre("  ", "  \n"));
}

}  // namespace
}  // namespace uikit::testing
