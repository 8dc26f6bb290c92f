#include "platform/uikit/drawing/Color.h"

#include <cmath>

namespace uikit {

Color Color::rgba(double red, double green, double blue, double alpha) {
  return Color(red, green, blue, alpha);
}

Color Color::hsba(double hue, double saturation, double brightness, double alpha) {
  // The usual six-sector conversion; a hue of 1 wraps round to 0.
  const double sector = std::fmod(hue * 6, 6);
  const int index = static_cast<int>(std::floor(sector));
  const double fraction = sector - index;
  const double p = brightness * (1 - saturation);
  const double q = brightness * (1 - saturation * fraction);
  const double t = brightness * (1 - saturation * (1 - fraction));
  switch (index) {
    case 0:
      return Color(brightness, t, p, alpha);
    case 1:
      return Color(q, brightness, p, alpha);
    case 2:
      return Color(p, brightness, t, alpha);
    case 3:
      return Color(p, q, brightness, alpha);
    case 4:
      return Color(t, p, brightness, alpha);
    default:
      return Color(brightness, p, q, alpha);
  }
}

Color Color::white(double white, double alpha) {
  return Color(white, white, white, alpha);
}

Color Color::patternImage(std::shared_ptr<const Image> image) {
  Color color(0, 0, 0, 0);
  color.pattern_ = std::move(image);
  return color;
}

Color Color::withAlpha(double alpha) const {
  Color color = *this;
  color.alpha_ = alpha;
  return color;
}

bool operator==(const Color& a, const Color& b) {
  return a.red_ == b.red_ && a.green_ == b.green_ && a.blue_ == b.blue_ && a.alpha_ == b.alpha_ &&
         a.pattern_ == b.pattern_;
}

}  // namespace uikit
