#include "platform/uikit/tables/TableViewRowAction.h"

namespace uikit {

TableViewRowAction::TableViewRowAction(TableViewRowActionStyle style, std::string title, Handler handler)
    : style_(style), title_(std::move(title)), handler_(std::move(handler)) {}

void TableViewRowAction::perform(const IndexPath& indexPath) {
  if (handler_) {
    handler_(*this, indexPath);
  }
}

}  // namespace uikit
