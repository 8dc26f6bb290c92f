#include "learning/course/QMDownloadCell.h"

#include <algorithm>

#include "app/helpers/QMHelpler.h"
#include "app/store/QMCourse.h"
#include "app/store/QMStage.h"
#include "learning/tree/TRTreeNodeData.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/storyboard/Nib.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace learning {
namespace {

// The nib's layout: a row 60 points high, the icon indented by level, the name after it, the shadow along
// the top edge and the separator along the bottom edge.
constexpr double kRowHeight = 60;
constexpr double kInset = 15;
constexpr double kIndentPerLevel = 20;
constexpr double kIconSide = 20;
constexpr double kShadowHeight = 4;
constexpr double kSeparatorHeight = 1;

uikit::Color hex(const char* text) {
  return app::QMHelpler::colorWithHexString(text);
}

}  // namespace

QMDownloadCell::QMDownloadCell()
    : TRTreeNodeCell(kNibName),
      shadowImageView_(uikit::outlet("shadowImageView", std::make_shared<uikit::ImageView>())),
      tagImageView_(uikit::outlet("tagImageView", std::make_shared<uikit::ImageView>())),
      nameLabel_(uikit::outlet("nameLabel", std::make_shared<uikit::Label>())),
      sepLabel_(uikit::outlet("sepLabel", std::make_shared<uikit::Label>())) {
  setFrame(uikit::Rect(0, 0, 375, kRowHeight));
  nameLabel_->setTextColor(uikit::Color::white(1));
  for (const std::shared_ptr<uikit::View>& part : std::initializer_list<std::shared_ptr<uikit::View>>{
           shadowImageView_, tagImageView_, nameLabel_, sepLabel_}) {
    contentView().addSubview(part);
  }
}

void QMDownloadCell::registerNib() {
  QM_DCHECK_MAIN_THREAD();
  uikit::Nib::registerNib(kNibName, [](const std::shared_ptr<ns::Object>&) {
    return std::vector<std::shared_ptr<uikit::View>>{std::make_shared<QMDownloadCell>()};
  });
}

void QMDownloadCell::setNodeData(const std::shared_ptr<TRTreeNodeData>& node) {
  TRTreeNodeCell::setNodeData(node);
  if (!node) {
    return;
  }
  if (const auto stage = ns::objectAs<app::QMStage>(node->dataModel())) {
    setBackgroundColor(hex("#434350"));
    tagImageView_->setImage(uikit::Image::imageNamed(kStageImage));
    nameLabel_->setText(stage->stageName().value_or(""));
    sepLabel_->setBackgroundColor(hex("#36343b"));
    return;
  }
  const auto course = ns::objectAs<app::QMCourse>(node->dataModel());
  if (!course) {
    return;
  }
  tagImageView_->setImage(uikit::Image::imageNamed(node->isSelected() ? kSelectOnImage : kSelectOffImage));
  nameLabel_->setText(course->courseName().value_or(""));
  switch (node->level()) {
    case 1:
      setBackgroundColor(hex("#565663"));
      shadowImageView_->setHidden(false);
      break;
    case 2:
      setBackgroundColor(hex("#434350"));
      shadowImageView_->setHidden(false);
      break;
    case 3: {
      setBackgroundColor(hex("#36343b"));
      const std::shared_ptr<app::QMCourse> parent = course->upLevelCourse();
      const std::vector<std::shared_ptr<app::QMCourse>> siblings =
          parent ? parent->sortedCourseArray() : std::vector<std::shared_ptr<app::QMCourse>>{};
      const bool first = !siblings.empty() && siblings.front() == course;
      const bool last = !siblings.empty() && siblings.back() == course;
      shadowImageView_->setHidden(!first);
      sepLabel_->setBackgroundColor(last ? uikit::Color::clear() : hex("#262528"));
      break;
    }
    default:
      break;
  }
}

void QMDownloadCell::layoutSubviews() {
  TRTreeNodeCell::layoutSubviews();
  const uikit::Rect bounds = this->bounds();
  const std::shared_ptr<TRTreeNodeData> node = nodeData();
  const double level = node && node->level() > 0 ? static_cast<double>(node->level() - 1) : 0;
  const double iconX = kInset + level * kIndentPerLevel;
  shadowImageView_->setFrame(uikit::Rect(0, 0, bounds.width(), kShadowHeight));
  tagImageView_->setFrame(uikit::Rect(iconX, (bounds.height() - kIconSide) / 2, kIconSide, kIconSide));
  const double nameX = iconX + kIconSide + kInset;
  nameLabel_->setFrame(
      uikit::Rect(nameX, 0, std::max(0.0, bounds.width() - nameX - kInset), bounds.height()));
  sepLabel_->setFrame(uikit::Rect(0, bounds.height() - kSeparatorHeight, bounds.width(), kSeparatorHeight));
}

}  // namespace learning
