#pragma once

// ui::CircleProgressView: a ring that fills with progress from 0 to 1. Setting the progress shows it at once,
// without animation. Its screen-text line is "progress <id>: <percent>%".
//
// Thread-safety: main thread only, like every view.

#include "platform/uikit/views/View.h"

namespace ui {

class CircleProgressView : public uikit::View {
 public:
  explicit CircleProgressView(uikit::Rect frame = {});

  double progress() const { return progress_; }
  // Stores `progress` and redraws.
  void setProgress(double progress);

  void renderInto(uikit::ScreenText& text) const override;

 private:
  double progress_ = 0;
};

}  // namespace ui
