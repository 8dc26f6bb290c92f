#include "ui/popup/PopupMenuItem.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/DispatchQueue.h"

namespace ui {

PopupMenuItem::PopupMenuItem(std::string title, std::shared_ptr<const uikit::Image> image, Invoker invoker,
                             float value)
    : title_(std::move(title)), image_(std::move(image)), invoker_(std::move(invoker)), value_(value) {
  QM_DCHECK_MAIN_THREAD();
}

void PopupMenuItem::performAction() {
  if (!invoker_) {
    return;
  }
  auto self = std::static_pointer_cast<PopupMenuItem>(shared_from_this());
  ns::DispatchQueue::main().sync([self] { self->invoker_(*self); });
}

}  // namespace ui
