#include "learning/live/CustomEPlayerViewController.h"

#include "platform/uikit/controls/Button.h"

namespace learning {

void CustomEPlayerViewController::viewWillAppear(bool animated) {
  outside::EPlayerPluginViewController::viewWillAppear(animated);
  std::weak_ptr<CustomEPlayerViewController> weakSelf =
      std::static_pointer_cast<CustomEPlayerViewController>(shared_from_this());
  rightItemObservation_ = navigationItem().observe(
      uikit::NavigationItem::kRightBarButtonItemKey, [weakSelf](const ns::KeyValueChange&) {
        if (std::shared_ptr<CustomEPlayerViewController> self = weakSelf.lock()) {
          self->rightBarButtonItemChanged();
        }
      });
}

void CustomEPlayerViewController::viewWillDisappear(bool animated) {
  outside::EPlayerPluginViewController::viewWillDisappear(animated);
  rightItemObservation_.invalidate();
}

void CustomEPlayerViewController::rightBarButtonItemChanged() {
  const std::shared_ptr<uikit::BarButtonItem>& item = navigationItem().rightBarButtonItem();
  if (!item) {
    return;
  }
  if (auto button = std::dynamic_pointer_cast<uikit::Button>(item->customView())) {
    button->setTitleColor(uikit::Color::black(), uikit::kControlStateNormal);
  }
}

}  // namespace learning
