#pragma once

// uikit::Font: the system font at a size, regular or bold. The stand-in draws no glyphs; it keeps the font so
// that screens can set and read it, and estimates text sizes from it. A plain value; thread-safe as a value.

namespace uikit {

class Font {
 public:
  enum class Weight { kRegular, kBold };

  static Font systemFontOfSize(double pointSize) { return Font(pointSize, Weight::kRegular); }
  static Font boldSystemFontOfSize(double pointSize) { return Font(pointSize, Weight::kBold); }

  double pointSize() const { return pointSize_; }
  Weight weight() const { return weight_; }
  // The height of one line of text.
  double lineHeight() const { return pointSize_ * 1.2; }

  friend bool operator==(const Font&, const Font&) = default;

 private:
  Font(double pointSize, Weight weight) : pointSize_(pointSize), weight_(weight) {}

  double pointSize_;
  Weight weight_;
};

}  // namespace uikit
