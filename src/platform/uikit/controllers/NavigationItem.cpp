#include "platform/uikit/controllers/NavigationItem.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/controllers/NavigationBar.h"

namespace uikit {

void NavigationItem::setTitle(std::string title) {
  QM_DCHECK_MAIN_THREAD();
  title_ = std::move(title);
  changed();
}

void NavigationItem::setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item) {
  QM_DCHECK_MAIN_THREAD();
  leftBarButtonItem_ = std::move(item);
  changed();
}

void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item) {
  QM_DCHECK_MAIN_THREAD();
  rightBarButtonItem_ = std::move(item);
  changed();
  didChangeValueForKey(kRightBarButtonItemKey, ns::Value(), ns::Value());
}

void NavigationItem::setHidesBackButton(bool hides) {
  QM_DCHECK_MAIN_THREAD();
  hidesBackButton_ = hides;
  changed();
}

void NavigationItem::changed() {
  if (shownBy_ != nullptr) {
    shownBy_->reloadItems();
  }
}

}  // namespace uikit
