#include "platform/uikit/controllers/TableViewController.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"

namespace uikit {

TableViewController::TableViewController(TableViewStyle style) : style_(style) {}

TableView& TableViewController::tableView() {
  QM_DCHECK_MAIN_THREAD();
  return static_cast<TableView&>(*view());
}

void TableViewController::loadView() {
  auto table = std::make_shared<TableView>(Screen::mainScreen().bounds(), style_);
  const auto self = std::dynamic_pointer_cast<TableViewController>(shared_from_this());
  table->setDataSource(std::static_pointer_cast<TableViewDataSource>(self));
  table->setDelegate(std::static_pointer_cast<TableViewDelegate>(self));
  setView(std::move(table));
}

void TableViewController::viewWillAppear(bool animated) {
  if (clearsSelectionOnViewWillAppear_) {
    if (auto selected = tableView().indexPathForSelectedRow()) {
      tableView().deselectRowAtIndexPath(*selected, animated);
    }
  }
}

}  // namespace uikit
