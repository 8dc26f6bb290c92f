#pragma once

// uikit::Screen: the device's screen: its size in points, its scale and its brightness. The main screen is
// 375 x 667 points at scale 2 unless configured otherwise (the terminal front end or a test may choose
// another phone). Its bounds stay in portrait whatever the orientation.
//
// Thread-safety: main thread only, like every class of uikit.

#include "platform/uikit/geometry/Geometry.h"

namespace uikit {

class Screen {
 public:
  static constexpr Size kDefaultSize{375, 667};
  static constexpr double kDefaultScale = 2;

  // The one screen; it lives for the whole process.
  static Screen& mainScreen();

  Rect bounds() const { return Rect(Point{}, size_); }
  double scale() const { return scale_; }
  // Sets the screen's size in points and its scale. REQUIRES: positive values.
  void configure(Size size, double scale);

  // Brightness from 0 to 1; values outside are cut to that range, and a value that is not a number changes
  // nothing.
  double brightness() const { return brightness_; }
  void setBrightness(double brightness);

 private:
  Screen() = default;

  Size size_ = kDefaultSize;
  double scale_ = kDefaultScale;
  double brightness_ = 0.5;
};

}  // namespace uikit
