#pragma once

// uikit::ShapeLayer: a layer that strokes a path between two fractions of its length (stroke start and end,
// 0 to 1), as progress lines are drawn. The stand-in draws nothing and has no implicit animations: every
// change takes effect at once, and the values are kept for views and tests to read. Main thread only.

#include <memory>
#include <optional>

#include "platform/uikit/drawing/BezierPath.h"
#include "platform/uikit/drawing/Layer.h"

namespace uikit {

enum class LineCap : int { kButt = 0, kRound = 1, kSquare = 2 };

class ShapeLayer : public Layer {
 public:
  // The path is shared, as the platform's immutable paths are.
  const std::shared_ptr<const BezierPath>& path() const { return path_; }
  void setPath(std::shared_ptr<const BezierPath> path) { path_ = std::move(path); }
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width) { lineWidth_ = width; }
  LineCap lineCap() const { return lineCap_; }
  void setLineCap(LineCap cap) { lineCap_ = cap; }
  double strokeStart() const { return strokeStart_; }
  void setStrokeStart(double start) { strokeStart_ = start; }
  double strokeEnd() const { return strokeEnd_; }
  void setStrokeEnd(double end) { strokeEnd_ = end; }
  // nullopt strokes nothing.
  const std::optional<Color>& strokeColor() const { return strokeColor_; }
  void setStrokeColor(std::optional<Color> color) { strokeColor_ = std::move(color); }
  // nullopt fills nothing.
  const std::optional<Color>& fillColor() const { return fillColor_; }
  void setFillColor(std::optional<Color> color) { fillColor_ = std::move(color); }

 private:
  std::shared_ptr<const BezierPath> path_;
  // The platform's defaults: a one-point black stroke over the whole path, a black fill.
  double lineWidth_ = 1;
  LineCap lineCap_ = LineCap::kButt;
  double strokeStart_ = 0;
  double strokeEnd_ = 1;
  std::optional<Color> strokeColor_;
  std::optional<Color> fillColor_ = Color::black();
};

}  // namespace uikit
