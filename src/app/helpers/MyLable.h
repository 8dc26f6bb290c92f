#pragma once

// MyLable: a corner badge in a label's place. Instead of its text it draws a closed triangle through
// (22, 0), (22, 22) and (0, 0) of its own coordinates, filled and stroked (line width 0) in the colour
// red 0, green 202/255, blue 208/255. It shows no text on screen.
//
// Thread-safety: main thread only, like every view.

#include <array>

#include "platform/uikit/views/Label.h"

namespace app {

class MyLable : public uikit::Label {
 public:
  using uikit::Label::Label;

  // The corners of the triangle, in drawing order, and its colour.
  static std::array<uikit::Point, 3> badgeCorners();
  static uikit::Color badgeColor();

  void renderInto(uikit::ScreenText& text) const override;
  std::string visibleText() const override { return {}; }
};

}  // namespace app
