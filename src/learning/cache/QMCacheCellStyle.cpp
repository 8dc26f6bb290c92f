#include "learning/cache/QMCacheCellStyle.h"

#include <algorithm>

#include "app/helpers/QMHelpler.h"
#include "app/store/QMCourse.h"
#include "learning/tree/TRTreeNodeData.h"
#include "platform/uikit/views/Label.h"

namespace learning::cachecell {

namespace {

constexpr double kIndentPerLevel = 20;

}  // namespace

std::optional<uikit::Color> levelBackground(std::int64_t level) {
  switch (level) {
    case 1:
      return app::QMHelpler::colorWithHexString("#565663");
    case 2:
      return app::QMHelpler::colorWithHexString("#434350");
    case 3:
      return app::QMHelpler::colorWithHexString("#36343b");
    default:
      return std::nullopt;
  }
}

PlaceAmongSiblings placeOf(const app::QMCourse& course,
                           const std::vector<std::shared_ptr<app::QMCourse>>& siblings) {
  return {.first = !siblings.empty() && siblings.front().get() == &course,
          .last = !siblings.empty() && siblings.back().get() == &course};
}

uikit::Rect nameFrame(uikit::Rect bounds, std::size_t treeLevel) {
  const double indent = kInset + static_cast<double>(treeLevel > 0 ? treeLevel - 1 : 0) * kIndentPerLevel;
  return uikit::Rect(indent, 0, std::max(0.0, bounds.width() - indent - kInset), bounds.height());
}

std::shared_ptr<app::QMCourse> courseOf(const std::shared_ptr<TRTreeNodeData>& node) {
  return node ? ns::objectAs<app::QMCourse>(node->dataModel()) : nullptr;
}

void paintRow(uikit::View& row, uikit::Label& nameLabel, const app::QMCourse& course, std::int64_t level) {
  nameLabel.setText(course.courseName().value_or(""));
  if (const std::optional<uikit::Color> background = levelBackground(level)) {
    row.setBackgroundColor(*background);
  }
}

void layoutRowParts(uikit::Rect bounds, std::size_t treeLevel, uikit::View& shadow, uikit::View& name,
                    uikit::View& separator) {
  shadow.setFrame(uikit::Rect(0, 0, bounds.width(), kShadowHeight));
  name.setFrame(nameFrame(bounds, treeLevel));
  separator.setFrame(uikit::Rect(0, bounds.height() - kSeparatorHeight, bounds.width(), kSeparatorHeight));
}

}  // namespace learning::cachecell
