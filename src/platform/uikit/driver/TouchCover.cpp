#include "platform/uikit/driver/TouchCover.h"

#include <vector>

namespace uikit {
namespace {

bool contains(Rect rect, Point point) {
  return point.x >= rect.minX() && point.x < rect.maxX() && point.y >= rect.minY() && point.y < rect.maxY();
}

// The front-most view of `view`'s tree that takes a touch at `point` (in the root's coordinates), or
// nullptr: the subviews front to back first, then the view itself.
const View* hitTest(const View& view, Point point) {
  if (!view.isShown() || !view.isUserInteractionEnabled() ||
      !contains(view.convertRectToView(view.bounds(), nullptr), point)) {
    return nullptr;
  }
  const auto& subviews = view.subviews();
  for (auto subview = subviews.rbegin(); subview != subviews.rend(); ++subview) {
    if (const View* hit = hitTest(**subview, point)) {
      return hit;
    }
  }
  return &view;
}

// The views from the root down to `view`.
std::vector<const View*> pathFromRoot(const View& view) {
  std::vector<const View*> path;
  for (const View* step = &view; step != nullptr; step = step->superview()) {
    path.insert(path.begin(), step);
  }
  return path;
}

// Of two views of one window, the window's subview holding `front` when it lies in front of the one holding
// `back`; else nullptr. Views within one screen are not weighed against each other: screens lay out their
// content under their bars and let the bars take what lies there, as the platform insets it.
const View* layerInFront(const View& front, const View& back) {
  const auto frontPath = pathFromRoot(front);
  const auto backPath = pathFromRoot(back);
  if (frontPath[1] == backPath[1]) {
    return nullptr;
  }
  for (const auto& layer : frontPath[0]->subviews()) {
    if (layer.get() == backPath[1]) {
      return frontPath[1];
    }
    if (layer.get() == frontPath[1]) {
      return nullptr;
    }
  }
  return nullptr;
}

}  // namespace

const View* touchCover(const View& view) {
  const View* root = &view;
  while (root->superview() != nullptr) {
    root = root->superview();
  }
  const Rect bounds = view.bounds();
  const View* hit = hitTest(*root, view.convertPointToView(Point{bounds.midX(), bounds.midY()}, nullptr));
  if (hit == nullptr || hit->isDescendantOfView(view) || view.isDescendantOfView(*hit)) {
    return nullptr;
  }
  return layerInFront(*hit, view);
}

}  // namespace uikit
