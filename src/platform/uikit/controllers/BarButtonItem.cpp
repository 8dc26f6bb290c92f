#include "platform/uikit/controllers/BarButtonItem.h"

namespace uikit {

BarButtonItem::BarButtonItem(std::string title, Style style) : title_(std::move(title)), style_(style) {}

BarButtonItem::BarButtonItem(std::shared_ptr<const Image> image, Style style)
    : image_(std::move(image)), style_(style) {}

void BarButtonItem::sendAction() {
  if (enabled_) {
    actions_.send(*this, kTap);
  }
}

}  // namespace uikit
