#pragma once

// uikit::TableViewDelegate: what a table tells about selection and asks about row heights and swipe actions.
// Every callback is optional: a height of std::nullopt uses the table's rowHeight(), and swipe actions of
// std::nullopt give the one default "Delete" action. Held weakly by the table, which also makes it its scroll
// delegate. Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <optional>
#include <vector>

#include "platform/uikit/tables/IndexPath.h"
#include "platform/uikit/tables/TableViewRowAction.h"
#include "platform/uikit/views/ScrollViewDelegate.h"

namespace uikit {

class TableView;

class TableViewDelegate : public ScrollViewDelegate {
 public:
  virtual std::optional<double> heightForRowAtIndexPath(TableView&, const IndexPath&) { return std::nullopt; }
  // A finger selected the row (not called when code selects it).
  virtual void didSelectRowAtIndexPath(TableView&, const IndexPath&) {}
  virtual void didDeselectRowAtIndexPath(TableView&, const IndexPath&) {}
  virtual std::optional<std::vector<std::shared_ptr<TableViewRowAction>>> editActionsForRowAtIndexPath(
      TableView&, const IndexPath&) {
    return std::nullopt;
  }
};

}  // namespace uikit
