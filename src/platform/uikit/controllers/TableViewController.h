#pragma once

// uikit::TableViewController: a controller whose view is a table, which it serves as data source and
// delegate. Subclasses answer the table's questions; the defaults show no rows. Each appearance clears the
// selection unless told otherwise, as on the platform.
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>

#include "platform/uikit/controllers/ViewController.h"
#include "platform/uikit/tables/TableView.h"

namespace uikit {

class TableViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
 public:
  explicit TableViewController(TableViewStyle style = TableViewStyle::kPlain);

  // The table, loading the view first.
  TableView& tableView();
  bool clearsSelectionOnViewWillAppear() const { return clearsSelectionOnViewWillAppear_; }
  void setClearsSelectionOnViewWillAppear(bool clears) { clearsSelectionOnViewWillAppear_ = clears; }

  void loadView() override;
  // Subclasses that override it call it.
  void viewWillAppear(bool animated) override;

  std::int64_t numberOfRowsInSection(TableView&, std::int64_t) override { return 0; }
  // Never asked while there are no rows; subclasses with rows override it.
  std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, const IndexPath&) override {
    return nullptr;
  }

 private:
  const TableViewStyle style_;
  bool clearsSelectionOnViewWillAppear_ = true;
};

}  // namespace uikit
