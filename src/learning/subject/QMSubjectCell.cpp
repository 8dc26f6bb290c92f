#include "learning/subject/QMSubjectCell.h"

#include <initializer_list>

#include "app/helpers/QMHelpler.h"
#include "app/store/QMSubject.h"
#include "learning/tree/TRTreeNodeData.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/storyboard/Nib.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace learning {

void QMSubjectCell::registerNib() {
  uikit::Nib::registerNib(kNibName, [](const std::shared_ptr<ns::Object>& /*owner*/) {
    return std::vector<std::shared_ptr<uikit::View>>{std::make_shared<QMSubjectCell>()};
  });
}

QMSubjectCell::QMSubjectCell() : TRTreeNodeCell(kReuseIdentifier) {
  const double width = uikit::Screen::mainScreen().bounds().width();
  setFrame(uikit::Rect(0, 0, width, kRowHeight));
  subjectImageView_ =
      uikit::outlet("subjectImageView", std::make_shared<uikit::ImageView>(uikit::Rect(15, 17, 40, 40)));
  subjectNameLabel_ =
      uikit::outlet("subjectNameLabel", std::make_shared<uikit::Label>(uikit::Rect(70, 14, width - 120, 24)));
  subjectDetailLabel_ = uikit::outlet("subjectDetailLabel",
                                      std::make_shared<uikit::Label>(uikit::Rect(70, 40, width - 120, 20)));
  expandImageView_ = uikit::outlet("expandImageView",
                                   std::make_shared<uikit::ImageView>(uikit::Rect(width - 40, 30, 15, 15)));
  sepLabel_ =
      uikit::outlet("sepLabel", std::make_shared<uikit::Label>(uikit::Rect(0, kRowHeight - 1, width, 1)));
  for (const std::shared_ptr<uikit::View>& part : std::initializer_list<std::shared_ptr<uikit::View>>{
           subjectImageView_, subjectNameLabel_, subjectDetailLabel_, expandImageView_, sepLabel_}) {
    contentView().addSubview(part);
  }
}

void QMSubjectCell::setNodeData(const std::shared_ptr<TRTreeNodeData>& node) {
  QM_DCHECK_MAIN_THREAD();
  TRTreeNodeCell::setNodeData(node);
  const auto subject = node ? std::dynamic_pointer_cast<app::QMSubject>(node->dataModel()) : nullptr;
  if (!subject) {
    return;
  }
  subjectNameLabel_->setText(subject->subjectName().value_or(""));
  subjectDetailLabel_->setText(subject->stageCount().value_or("") + "章节  " +
                               subject->unitCount().value_or("") + "单元  " +
                               subject->classCount().value_or("") + "课时");
  subjectImageView_->setImage(uikit::Image::imageNamed(subject->iconID().value_or("")));
  expandImageView_->setImage(uikit::Image::imageNamed(node->isExpand() ? kArrowUpImage : kArrowDownImage));
  sepLabel_->setBackgroundColor(app::QMHelpler::colorWithHexString("#c7c7c7"));
}

}  // namespace learning
