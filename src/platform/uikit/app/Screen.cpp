#include "platform/uikit/app/Screen.h"

#include <algorithm>

namespace uikit {

Screen& Screen::mainScreen() {
  static Screen screen;
  return screen;
}

void Screen::configure(Size size, double scale) {
  size_ = size;
  scale_ = scale;
}

void Screen::setBrightness(double brightness) {
  brightness_ = std::clamp(brightness, 0.0, 1.0);
}

}  // namespace uikit
