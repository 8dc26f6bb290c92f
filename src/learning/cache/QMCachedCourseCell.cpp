#include "learning/cache/QMCachedCourseCell.h"

#include "app/helpers/QMHelpler.h"
#include "app/store/QMCourse.h"
#include "learning/cache/QMCacheCellStyle.h"
#include "learning/tree/TRTreeNodeData.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Nib.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace learning {

QMCachedCourseCell::QMCachedCourseCell()
    : TRTreeNodeCell(kNibName),
      courseNameLabel_(uikit::outlet("courseNameLabel", std::make_shared<uikit::Label>())),
      sepLabel_(uikit::outlet("sepLabel", std::make_shared<uikit::Label>())),
      shadowImageView_(uikit::outlet("shadowImageView", std::make_shared<uikit::ImageView>())) {
  setFrame(uikit::Rect(0, 0, 375, cachecell::kRowHeight));
  courseNameLabel_->setTextColor(uikit::Color::white(1));
  for (const std::shared_ptr<uikit::View>& part :
       std::initializer_list<std::shared_ptr<uikit::View>>{shadowImageView_, courseNameLabel_, sepLabel_}) {
    contentView().addSubview(part);
  }
}

void QMCachedCourseCell::registerNib() {
  QM_DCHECK_MAIN_THREAD();
  uikit::Nib::registerNib(kNibName, [](const std::shared_ptr<ns::Object>&) {
    return std::vector<std::shared_ptr<uikit::View>>{std::make_shared<QMCachedCourseCell>()};
  });
}

void QMCachedCourseCell::setNodeData(const std::shared_ptr<TRTreeNodeData>& node) {
  TRTreeNodeCell::setNodeData(node);
  const std::shared_ptr<app::QMCourse> course = cachecell::courseOf(node);
  if (!course) {
    return;
  }
  // A lesson takes the lesson look at whatever depth the stage's tree puts it.
  const std::int64_t level = course->isLesson() ? 3 : course->level().value_or(0);
  cachecell::paintRow(*this, *courseNameLabel_, *course, level);
  if (level == 3) {
    const std::shared_ptr<app::QMCourse> parent = course->upLevelCourse();
    const cachecell::PlaceAmongSiblings place = cachecell::placeOf(
        *course, parent ? parent->cachedCourse() : std::vector<std::shared_ptr<app::QMCourse>>{});
    sepLabel_->setBackgroundColor(place.last ? uikit::Color::clear()
                                             : app::QMHelpler::colorWithHexString("#262528"));
    shadowImageView_->setHidden(!place.first);
  } else if (level == 1 || level == 2) {
    shadowImageView_->setHidden(false);
  }
}

void QMCachedCourseCell::layoutSubviews() {
  TRTreeNodeCell::layoutSubviews();
  const uikit::Rect bounds = this->bounds();
  const std::shared_ptr<TRTreeNodeData> node = nodeData();
  cachecell::layoutRowParts(bounds, node ? node->level() : 1, *shadowImageView_, *courseNameLabel_,
                            *sepLabel_);
}

}  // namespace learning
