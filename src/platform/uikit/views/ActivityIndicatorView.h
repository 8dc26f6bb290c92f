#pragma once

// uikit::ActivityIndicatorView: a spinner. It hides itself while stopped unless told otherwise. While it
// spins its screen-text line is "progress <id>: spinning".
//
// Thread-safety: main thread only, like every class of uikit.

#include <optional>

#include "platform/uikit/views/View.h"

namespace uikit {

enum class ActivityIndicatorViewStyle : int { kWhiteLarge = 0, kWhite = 1, kGray = 2 };

class ActivityIndicatorView : public View {
 public:
  explicit ActivityIndicatorView(ActivityIndicatorViewStyle style = ActivityIndicatorViewStyle::kWhite);

  ActivityIndicatorViewStyle style() const { return style_; }
  bool isAnimating() const { return animating_; }
  void startAnimating();
  void stopAnimating();
  bool hidesWhenStopped() const { return hidesWhenStopped_; }
  void setHidesWhenStopped(bool hides);
  const std::optional<Color>& color() const { return color_; }
  void setColor(std::optional<Color> color) { color_ = std::move(color); }

  void renderInto(ScreenText& text) const override;

 private:
  ActivityIndicatorViewStyle style_;
  bool animating_ = false;
  bool hidesWhenStopped_ = true;
  std::optional<Color> color_;
};

}  // namespace uikit
