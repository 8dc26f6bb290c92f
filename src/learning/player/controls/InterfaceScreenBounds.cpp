#include "learning/player/controls/InterfaceScreenBounds.h"

#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Screen.h"

namespace learning {

uikit::Rect interfaceScreenBounds() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  const auto orientation = uikit::Application::sharedApplication().statusBarOrientation();
  const bool landscape = (uikit::maskOf(orientation) & uikit::kInterfaceOrientationMaskLandscape) != 0;
  return landscape ? uikit::Rect(bounds.minX(), bounds.minY(), bounds.height(), bounds.width()) : bounds;
}

}  // namespace learning
