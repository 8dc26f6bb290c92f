#pragma once

// uikit::Color: a colour as red, green, blue and alpha components from 0 to 1, or a pattern made of an image.
// Made from RGB, from hue/saturation/brightness or from a white level, as the platform's colours are. A plain
// value; thread-safe as a value.

#include <memory>

namespace uikit {

class Image;

class Color {
 public:
  static Color rgba(double red, double green, double blue, double alpha = 1);
  // Hue, saturation and brightness from 0 to 1 (a hue of 1 is red again).
  static Color hsba(double hue, double saturation, double brightness, double alpha = 1);
  // A grey of the given white level (0 black, 1 white).
  static Color white(double white, double alpha = 1);
  static Color black() { return white(0); }
  static Color clear() { return white(0, 0); }
  // A colour that tiles `image`; its components read as clear black.
  static Color patternImage(std::shared_ptr<const Image> image);

  double red() const { return red_; }
  double green() const { return green_; }
  double blue() const { return blue_; }
  double alpha() const { return alpha_; }
  // The image of a pattern colour, else nullptr.
  const std::shared_ptr<const Image>& patternImage() const { return pattern_; }

  // Returns the same colour with `alpha`.
  Color withAlpha(double alpha) const;

  // Equal components, and the same pattern image object.
  friend bool operator==(const Color& a, const Color& b);

 private:
  Color(double red, double green, double blue, double alpha)
      : red_(red), green_(green), blue_(blue), alpha_(alpha) {}

  double red_;
  double green_;
  double blue_;
  double alpha_;
  std::shared_ptr<const Image> pattern_;
};

}  // namespace uikit
