#include "platform/uikit/controllers/BarButtonItem.h"

#include "platform/foundation/check/Check.h"

namespace uikit {

BarButtonItem::BarButtonItem(std::string title, Style style) : title_(std::move(title)), style_(style) {
  QM_DCHECK_MAIN_THREAD();
}

BarButtonItem::BarButtonItem(std::shared_ptr<const Image> image, Style style)
    : image_(std::move(image)), style_(style) {
  QM_DCHECK_MAIN_THREAD();
}

BarButtonItem::BarButtonItem(std::shared_ptr<View> customView)
    : customView_(std::move(customView)), style_(Style::kPlain) {
  QM_DCHECK_MAIN_THREAD();
  QM_DCHECK(customView_ != nullptr, "a custom view item has a view");
}

void BarButtonItem::sendAction() {
  QM_DCHECK_MAIN_THREAD();
  if (enabled_) {
    actions_.send(*this, kTap);
  }
}

}  // namespace uikit
