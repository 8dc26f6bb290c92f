#include <gtest/gtest.h>

#include "platform/uikit/render/ScreenText.h"
#include "ui/progress/CircleProgressView.h"

namespace ui {
namespace {

TEST(CircleProgressViewTest, ShowsTheProgressAtOnceAsAPercentage) {
  auto ring = std::make_shared<CircleProgressView>();
  ring->setAccessibilityIdentifier("circleProgressView");
  for (const auto& [progress, shown] : {std::pair{0.35, "35%"}, std::pair{1.0, "100%"}}) {
    ring->setProgress(progress);
    uikit::ScreenText text;
    ring->renderInto(text);
    EXPECT_EQ(text.str(), std::string("progress circleProgressView: ") + shown + "\n");
  }
}

}  // namespace
}  // namespace ui
