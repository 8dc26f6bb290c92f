#pragma once

// learning::ZBPlayerLight: holds a brightness value from 0 to 1. The player changes the screen's brightness
// itself; this view only keeps a value.
//
// Thread-safety: main thread only, like every view.

#include "platform/uikit/views/View.h"

namespace learning {

class ZBPlayerLight : public uikit::View {
 public:
  explicit ZBPlayerLight(uikit::Rect frame = {}) : View(frame) {}

  float value() const { return value_; }
  // Stores `value` when it lies within 0 to 1 (both included); ignores any other.
  void setValue(float value);

 private:
  float value_ = 0;
};

}  // namespace learning
