#include "platform/uikit/tables/TableViewRowAction.h"

#include "platform/foundation/check/Check.h"

namespace uikit {

TableViewRowAction::TableViewRowAction(TableViewRowActionStyle style, std::string title, Handler handler)
    : style_(style), title_(std::move(title)), handler_(std::move(handler)) {
  QM_DCHECK_MAIN_THREAD();
}

void TableViewRowAction::perform(const IndexPath& indexPath) {
  QM_DCHECK_MAIN_THREAD();
  if (handler_) {
    handler_(*this, indexPath);
  }
}

}  // namespace uikit
