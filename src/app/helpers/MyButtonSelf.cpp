#include "app/helpers/MyButtonSelf.h"

namespace app {

uikit::Rect MyButtonSelf::imageRectForContentRect(uikit::Rect) const {
  return uikit::Rect(frame().size.width - kImageSide, 0, kImageSide, kImageSide);
}

uikit::Rect MyButtonSelf::titleRectForContentRect(uikit::Rect) const {
  return uikit::Rect(0, 0, frame().size.width - kImageSide, kImageSide);
}

}  // namespace app
