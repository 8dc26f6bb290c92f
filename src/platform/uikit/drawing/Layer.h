#pragma once

// uikit::Layer: the drawing properties of a view that the screens set: corners, border, shadow, clipping and
// the background colour, and the layers drawn over it (sublayers, such as shape layers). The stand-in draws
// nothing; it keeps the values so that screens and tests can read them. A view owns its layer; a layer owns
// its sublayers. Main thread only, like its view.

#include <memory>
#include <optional>
#include <vector>

#include "platform/uikit/drawing/Color.h"
#include "platform/uikit/geometry/Geometry.h"

namespace uikit {

class Layer {
 public:
  Layer() = default;
  Layer(const Layer&) = default;
  Layer& operator=(const Layer&) = default;
  virtual ~Layer() = default;

  double cornerRadius() const { return cornerRadius_; }
  void setCornerRadius(double radius) { cornerRadius_ = radius; }
  double borderWidth() const { return borderWidth_; }
  void setBorderWidth(double width) { borderWidth_ = width; }
  const std::optional<Color>& borderColor() const { return borderColor_; }
  void setBorderColor(std::optional<Color> color) { borderColor_ = std::move(color); }
  bool masksToBounds() const { return masksToBounds_; }
  void setMasksToBounds(bool masks) { masksToBounds_ = masks; }
  // The view's background colour; nullopt draws nothing.
  const std::optional<Color>& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(std::optional<Color> color) { backgroundColor_ = std::move(color); }

  const std::optional<Color>& shadowColor() const { return shadowColor_; }
  void setShadowColor(std::optional<Color> color) { shadowColor_ = std::move(color); }
  Size shadowOffset() const { return shadowOffset_; }
  void setShadowOffset(Size offset) { shadowOffset_ = offset; }
  double shadowRadius() const { return shadowRadius_; }
  void setShadowRadius(double radius) { shadowRadius_ = radius; }
  double shadowOpacity() const { return shadowOpacity_; }
  void setShadowOpacity(double opacity) { shadowOpacity_ = opacity; }

  // Back to front.
  const std::vector<std::shared_ptr<Layer>>& sublayers() const { return sublayers_; }
  // Adds `layer` in front of the other sublayers.
  void addSublayer(std::shared_ptr<Layer> layer) { sublayers_.push_back(std::move(layer)); }

 private:
  double cornerRadius_ = 0;
  double borderWidth_ = 0;
  std::optional<Color> borderColor_;
  bool masksToBounds_ = false;
  std::optional<Color> backgroundColor_;
  std::optional<Color> shadowColor_;
  // The platform's defaults: a shadow 3 points down with a radius of 3, fully transparent.
  Size shadowOffset_{0, -3};
  double shadowRadius_ = 3;
  double shadowOpacity_ = 0;
  std::vector<std::shared_ptr<Layer>> sublayers_;
};

}  // namespace uikit
