#pragma once

// HMExtention: shorthand for reading and changing one part of a view's frame (or centre): each setter reads
// the frame, replaces the one member and writes the frame back.
//
// Thread-safety: main thread only, like the views.

#include "platform/uikit/views/View.h"

namespace app {

class HMExtention {
 public:
  static double x(const uikit::View& view) { return view.frame().origin.x; }
  static void setX(uikit::View& view, double x);
  static double y(const uikit::View& view) { return view.frame().origin.y; }
  static void setY(uikit::View& view, double y);
  static double width(const uikit::View& view) { return view.frame().size.width; }
  static void setWidth(uikit::View& view, double width);
  static double height(const uikit::View& view) { return view.frame().size.height; }
  static void setHeight(uikit::View& view, double height);
  static uikit::Size size(const uikit::View& view) { return view.frame().size; }
  static void setSize(uikit::View& view, uikit::Size size);
  static uikit::Point origin(const uikit::View& view) { return view.frame().origin; }
  static void setOrigin(uikit::View& view, uikit::Point origin);
  static double centerX(const uikit::View& view) { return view.center().x; }
  static void setCenterX(uikit::View& view, double centerX);
  static double centerY(const uikit::View& view) { return view.center().y; }
  static void setCenterY(uikit::View& view, double centerY);
};

}  // namespace app
