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

namespace learning {
class TRTreeNodeData;
}  // namespace learning

namespace uikit {
class Label;
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

// The course `node` holds, or nullptr when `node` is null or holds no course.
std::shared_ptr<app::QMCourse> courseOf(const std::shared_ptr<TRTreeNodeData>& node);

// Shows `course`'s name in `nameLabel` and gives `row` the background of `level` (kept when the level has
// none).
void paintRow(uikit::View& row, uikit::Label& nameLabel, const app::QMCourse& course, std::int64_t level);

// Frames the parts every cache row has in a row of `bounds`: the shadow along the top, the name indented by
// `treeLevel`, the separator along the bottom.
void layoutRowParts(uikit::Rect bounds, std::size_t treeLevel, uikit::View& shadow, uikit::View& name,
                    uikit::View& separator);

}  // namespace learning::cachecell
