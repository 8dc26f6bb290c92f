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

// Of two views of one tree neither of which lies in the other, the branch holding `front` where their paths
// part, when that branch comes later in the back-to-front order than the one holding `back`; else nullptr.
const View* branchInFront(const View& front, const View& back) {
  const auto frontPath = pathFromRoot(front);
  const auto backPath = pathFromRoot(back);
  std::size_t depth = 1;
  while (frontPath[depth] == backPath[depth]) {
    ++depth;
  }
  for (const auto& sibling : frontPath[depth - 1]->subviews()) {
    if (sibling.get() == backPath[depth]) {
      return frontPath[depth];
    }
    if (sibling.get() == frontPath[depth]) {
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
  return branchInFront(*hit, view);
}

}  // namespace uikit
