#include "platform/uikit/tables/TableViewCellDeleteConfirmationControl.h"

namespace uikit {

TableViewCellDeleteConfirmationControl::TableViewCellDeleteConfirmationControl(
    const std::vector<std::shared_ptr<TableViewRowAction>>& actions) {
  for (const auto& action : actions) {
    auto button = std::make_shared<Button>();
    button->setTitle(action->title(), kControlStateNormal);
    button->setBackgroundColor(action->backgroundColor());
    addSubview(std::move(button));
  }
}

}  // namespace uikit
