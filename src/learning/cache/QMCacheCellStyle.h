#pragma once

// The look the two offline cache cells share: the background of each level of a stage's tree, and where a
// lesson stands among the lessons its parent shows on the page (the first carries a shadow, the last has
// no separator under it).
//
// Thread-safety: main thread only, as the store it reads.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/uikit/drawing/Color.h"
#include "platform/uikit/geometry/Geometry.h"

namespace app {
class QMCourse;
}  // namespace app

namespace uikit {
class View;
}  // namespace uikit

namespace learning::cachecell {

inline constexpr double kRowHeight = 60;
inline constexpr double kInset = 15;
inline constexpr double kShadowHeight = 4;
inline constexpr double kSeparatorHeight = 1;

// The row background of course level 1, 2 and 3 (lessons); std::nullopt for any other level.
std::optional<uikit::Color> levelBackground(std::int64_t level);

struct PlaceAmongSiblings {
  bool first = false;
  bool last = false;
};
// Where `course` stands in `siblings` (its parent's children shown on the page).
PlaceAmongSiblings placeOf(const app::QMCourse& course,
                           const std::vector<std::shared_ptr<app::QMCourse>>& siblings);

// The name label's frame in a row of `bounds`, indented by the node's tree level (1 for the top).
uikit::Rect nameFrame(uikit::Rect bounds, std::size_t treeLevel);

}  // namespace learning::cachecell
