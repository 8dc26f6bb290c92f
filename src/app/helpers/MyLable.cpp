#include "app/helpers/MyLable.h"

#include "platform/uikit/render/ScreenText.h"

namespace app {

std::array<uikit::Point, 3> MyLable::badgeCorners() {
  return {uikit::Point{22, 0}, uikit::Point{22, 22}, uikit::Point{0, 0}};
}

uikit::Color MyLable::badgeColor() {
  return uikit::Color::rgba(0, 202 / 255.0, 208 / 255.0, 1);
}

void MyLable::renderInto(uikit::ScreenText&) const {
  // The badge is a coloured corner with no text, so the screen text has no line for it.
}

}  // namespace app
