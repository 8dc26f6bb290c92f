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

void BarButtonItem::sendAction() {
  QM_DCHECK_MAIN_THREAD();
  if (enabled_) {
    actions_.send(*this, kTap);
  }
}

}  // namespace uikit
