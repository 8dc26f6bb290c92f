#pragma once

// MyButtonSelf: a button whose 22-point image sits at its right edge, the title filling the rest of a
// 22-point row, whatever content rectangle it is given.
//
// Thread-safety: main thread only, like every view.

#include "platform/uikit/controls/Button.h"

namespace app {

class MyButtonSelf : public uikit::Button {
 public:
  static constexpr double kImageSide = 22;

  using uikit::Button::Button;

  // (frame width - 22, 0, 22, 22).
  uikit::Rect imageRectForContentRect(uikit::Rect contentRect) const override;
  // (0, 0, frame width - 22, 22).
  uikit::Rect titleRectForContentRect(uikit::Rect contentRect) const override;
};

}  // namespace app
