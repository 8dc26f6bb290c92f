#pragma once

// uikit::TableViewCellDeleteConfirmationControl: the strip a swipe uncovers at the end of a table row, with a
// button for each of the row's actions (the first action's button first). The table puts it into the cell
// as a direct subview while the swipe shows the actions, and takes it away afterwards; a cell may restyle it
// in willTransitionToState() (hide the platform's buttons, say, to let an action's own background show).
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <vector>

#include "platform/uikit/controls/Button.h"
#include "platform/uikit/tables/TableViewRowAction.h"
#include "platform/uikit/views/View.h"

namespace uikit {

class TableViewCellDeleteConfirmationControl : public View {
 public:
  // A strip with one button per action, titled as the action and filled with its background colour.
  explicit TableViewCellDeleteConfirmationControl(
      const std::vector<std::shared_ptr<TableViewRowAction>>& actions);
};

}  // namespace uikit
