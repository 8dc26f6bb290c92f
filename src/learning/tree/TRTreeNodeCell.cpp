#include "learning/tree/TRTreeNodeCell.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/tables/TableViewCellDeleteConfirmationControl.h"

namespace learning {

TRTreeNodeCell::TRTreeNodeCell(std::string reuseIdentifier)
    : uikit::TableViewCell(uikit::TableViewCellStyle::kDefault, std::move(reuseIdentifier)) {}

void TRTreeNodeCell::setNodeData(const std::shared_ptr<TRTreeNodeData>& node) {
  QM_DCHECK_MAIN_THREAD();
  nodeData_ = node;
}

void TRTreeNodeCell::awakeFromNib() {
  setSelectionStyle(uikit::TableViewCellSelectionStyle::kNone);
}

void TRTreeNodeCell::willTransitionToState(uikit::TableViewCellStateMask state) {
  uikit::TableViewCell::willTransitionToState(state);
  if ((state & uikit::kTableViewCellStateShowingDeleteConfirmationMask) == 0) {
    return;
  }
  for (const auto& subview : subviews()) {
    if (dynamic_cast<uikit::TableViewCellDeleteConfirmationControl*>(subview.get()) != nullptr &&
        !subview->subviews().empty()) {
      subview->subviews().front()->setHidden(true);
    }
  }
}

}  // namespace learning
