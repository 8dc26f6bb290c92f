#pragma once

// uikit::BezierPath: a path made of straight segments, as shape layers stroke it. The stand-in draws nothing;
// it keeps the points so that views and tests can read the shape. A plain value; thread-safe as a value.

#include <vector>

#include "platform/uikit/geometry/Geometry.h"

namespace uikit {

class BezierPath {
 public:
  struct Element {
    enum class Kind { kMoveTo, kLineTo };
    Kind kind;
    Point point;
    friend bool operator==(const Element&, const Element&) = default;
  };

  // Starts a new subpath at `point`.
  void moveToPoint(Point point) { elements_.push_back(Element{Element::Kind::kMoveTo, point}); }
  // Adds a straight line from the current point to `point`.
  void addLineToPoint(Point point) { elements_.push_back(Element{Element::Kind::kLineTo, point}); }

  const std::vector<Element>& elements() const { return elements_; }

  friend bool operator==(const BezierPath&, const BezierPath&) = default;

 private:
  std::vector<Element> elements_;
};

}  // namespace uikit
