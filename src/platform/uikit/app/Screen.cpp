#include "platform/uikit/app/Screen.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/check/Check.h"

namespace uikit {

Screen& Screen::mainScreen() {
  QM_DCHECK_MAIN_THREAD();
  static Screen screen;
  return screen;
}

void Screen::configure(Size size, double scale) {
  QM_DCHECK(size.width > 0 && size.height > 0 && scale > 0, "the size and the scale are positive");
  size_ = size;
  scale_ = scale;
}

void Screen::setBrightness(double brightness) {
  QM_DCHECK_MAIN_THREAD();
  if (std::isnan(brightness)) {
    return;
  }
  brightness_ = std::clamp(brightness, 0.0, 1.0);
}

}  // namespace uikit
