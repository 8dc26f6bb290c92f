#include "platform/uikit/controllers/NavigationItem.h"

#include "platform/uikit/controllers/NavigationBar.h"

namespace uikit {

void NavigationItem::setTitle(std::string title) {
  title_ = std::move(title);
  changed();
}

void NavigationItem::setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item) {
  leftBarButtonItem_ = std::move(item);
  changed();
}

void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item) {
  rightBarButtonItem_ = std::move(item);
  changed();
}

void NavigationItem::setHidesBackButton(bool hides) {
  hidesBackButton_ = hides;
  changed();
}

void NavigationItem::changed() {
  if (shownBy_ != nullptr) {
    shownBy_->reloadItems();
  }
}

}  // namespace uikit
