#pragma once

// uikit::TableViewDataSource: what a table asks for its content. The row count and the cell are required;
// the rest is optional, with the defaults of a data source that does not answer (one section, rows that
// cannot be edited). Held weakly by the table. Thread-safety: main thread only, like every class of uikit.

#include <cstdint>
#include <memory>

#include "platform/uikit/tables/IndexPath.h"

namespace uikit {

class TableView;
class TableViewCell;

enum class TableViewCellEditingStyle : int { kNone = 0, kDelete = 1, kInsert = 2 };

class TableViewDataSource {
 public:
  virtual ~TableViewDataSource() = default;

  virtual std::int64_t numberOfSectionsInTableView(TableView&) { return 1; }
  virtual std::int64_t numberOfRowsInSection(TableView& tableView, std::int64_t section) = 0;
  // Returns the cell of the row, usually one dequeued from the table. REQUIRES: not nullptr.
  virtual std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tableView,
                                                               const IndexPath& indexPath) = 0;
  // True lets a swipe reveal the row's actions.
  virtual bool canEditRowAtIndexPath(TableView&, const IndexPath&) { return false; }
  // The default swipe action ("Delete") calls it with kDelete.
  virtual void commitEditingStyle(TableView&, TableViewCellEditingStyle, const IndexPath&) {}
};

}  // namespace uikit
