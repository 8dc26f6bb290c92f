#pragma once

// QMMenuCell: one row of the drawer menu: its picture (tagBtn, which lets touches through to the row) and
// its text.
//
// Thread-safety: main thread only, like every view.

#include <memory>
#include <string>

#include "platform/uikit/controls/Button.h"
#include "platform/uikit/tables/TableViewCell.h"

namespace app {

class QMMenuCell : public uikit::TableViewCell {
 public:
  static constexpr char kReuseIdentifier[] = "QMMenuCell";

  QMMenuCell();

  // Outlet, owned by the cell's content view.
  const std::shared_ptr<uikit::Button>& tagBtn() const { return tagBtn_; }

  // Shows the row's picture `imageName` and its text `text`.
  void show(const std::string& imageName, const std::string& text);

 private:
  std::shared_ptr<uikit::Button> tagBtn_;
};

}  // namespace app
