#include <gtest/gtest.h>

#include "platform/uikit/render/ScreenText.h"
#include "ui/progress/CircleProgressView.h"

namespace ui {
namespace {

// A ring that counts how often it is drawn.
class CountingRing : public CircleProgressView {
 public:
  void drawRect(uikit::Rect) override { ++draws; }
  int draws = 0;
};

TEST(CircleProgressViewTest, ShowsTheProgressAtOnceAsAPercentage) {
  auto ring = std::make_shared<CountingRing>();
  ring->setAccessibilityIdentifier("circleProgressView");
  ring->setProgress(0.35);

  EXPECT_EQ(ring->progress(), 0.35);
  uikit::ScreenText text;
  ring->renderInto(text);
  EXPECT_EQ(text.str(), "progress circleProgressView: 35%\n");

  ring->setProgress(1.0);
  uikit::ScreenText full;
  ring->renderInto(full);
  EXPECT_EQ(full.str(), "progress circleProgressView: 100%\n");
}

}  // namespace
}  // namespace ui
