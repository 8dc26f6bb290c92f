#pragma once

// uikit::ProgressView: a bar that shows progress from 0 to 1. Its screen-text line is
// "progress <id>: <percent>%".
//
// Thread-safety: main thread only, like every class of uikit.

#include <optional>

#include "platform/uikit/views/View.h"

namespace uikit {

class ProgressView : public View {
 public:
  explicit ProgressView(Rect frame = {});

  float progress() const { return progress_; }
  // Values outside 0 to 1 are cut to that range; the animation is not waited for.
  void setProgress(float progress, bool animated = false);
  const std::optional<Color>& progressTintColor() const { return progressTintColor_; }
  void setProgressTintColor(std::optional<Color> color) { progressTintColor_ = std::move(color); }
  const std::optional<Color>& trackTintColor() const { return trackTintColor_; }
  void setTrackTintColor(std::optional<Color> color) { trackTintColor_ = std::move(color); }

  void renderInto(ScreenText& text) const override;

 private:
  float progress_ = 0;
  std::optional<Color> progressTintColor_;
  std::optional<Color> trackTintColor_;
};

}  // namespace uikit
