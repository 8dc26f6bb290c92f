#include "learning/subject/QMNearlyPlayCell.h"

#include "app/store/QMSubject.h"
#include "learning/subject/QMSubjectTree.h"
#include "learning/tree/TRTreeNodeData.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/storyboard/Nib.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace learning {

void QMNearlyPlayCell::registerNib() {
  uikit::Nib::registerNib(kNibName, [](const std::shared_ptr<ns::Object>& /*owner*/) {
    return std::vector<std::shared_ptr<uikit::View>>{std::make_shared<QMNearlyPlayCell>()};
  });
}

QMNearlyPlayCell::QMNearlyPlayCell() : TRTreeNodeCell(kReuseIdentifier) {
  const double width = uikit::Screen::mainScreen().bounds().width();
  setFrame(uikit::Rect(0, 0, width, kRowHeight));
  nearlyTitleLabel_ = std::make_shared<uikit::Label>(uikit::Rect(45, 0, 120, kRowHeight));
  nearlyTitleLabel_->setText(QMNearlyPlayedItem::kTitle);
  timeLabel_ = uikit::outlet("timeLabel",
                             std::make_shared<uikit::Label>(uikit::Rect(170, 0, width - 185, kRowHeight)));
  contentView().addSubview(nearlyTitleLabel_);
  contentView().addSubview(timeLabel_);
}

void QMNearlyPlayCell::setNodeData(const std::shared_ptr<TRTreeNodeData>& node) {
  QM_DCHECK_MAIN_THREAD();
  TRTreeNodeCell::setNodeData(node);
  const auto item = node ? std::dynamic_pointer_cast<QMNearlyPlayedItem>(node->dataModel()) : nullptr;
  if (item && item->model()) {
    timeLabel_->setText(item->model()->onClassTime().value_or(""));
  }
}

}  // namespace learning
