#pragma once

// QMLiveStatusLabel: the look of the status labels of the live cells (QMLiveGroupCell.h, QMLiveCell.h): a
// rounded, bordered tag whose text and border share one colour, grey for what is over or not yet open and
// blue-green for what can be watched.
//
// Thread-safety: main thread only, like the labels it styles.

#include <string>

#include "platform/uikit/drawing/Color.h"
#include "platform/uikit/views/Label.h"

namespace learning {

class QMLiveStatusLabel {
 public:
  static constexpr double kCornerRadius = 5.0;
  static constexpr double kBorderWidth = 1.0;

  // Grey: ended, not started.
  static uikit::Color inactiveColor() { return uikit::Color::rgba(0.753, 0.784, 0.808); }
  // Blue-green: live now, replay, or a group about to start.
  static uikit::Color activeColor() { return uikit::Color::rgba(0.447, 0.816, 0.835); }

  // Gives `label` its tag shape: the corner radius and the border width.
  static void shape(uikit::Label& label);
  // Shows `text` on `label` in `color`, its border too.
  static void show(uikit::Label& label, std::string text, const uikit::Color& color);
  // Empties `label` and gives it back the colours of a new cell, for a cell about to show another model.
  static void clear(uikit::Label& label);
};

}  // namespace learning
