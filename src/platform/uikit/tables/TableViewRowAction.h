#pragma once

// uikit::TableViewRowAction: a button that swiping a table row reveals, with a title, a style, a background
// colour and the handler a tap on it runs. Thread-safety: main thread only, like every class of uikit.

#include <functional>
#include <optional>
#include <string>

#include "platform/foundation/values/Object.h"
#include "platform/uikit/drawing/Color.h"
#include "platform/uikit/tables/IndexPath.h"

namespace uikit {

enum class TableViewRowActionStyle : int { kDefault = 0, kDestructive = 0, kNormal = 1 };

class TableViewRowAction : public ns::Object {
 public:
  using Handler = std::function<void(TableViewRowAction& action, const IndexPath& indexPath)>;

  TableViewRowAction(TableViewRowActionStyle style, std::string title, Handler handler);

  TableViewRowActionStyle style() const { return style_; }
  const std::string& title() const { return title_; }
  const std::optional<Color>& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(std::optional<Color> color) { backgroundColor_ = std::move(color); }

  // Runs the handler for the row at `indexPath`, as a tap on the action does.
  void perform(const IndexPath& indexPath);

 private:
  TableViewRowActionStyle style_;
  std::string title_;
  Handler handler_;
  std::optional<Color> backgroundColor_;
};

}  // namespace uikit
