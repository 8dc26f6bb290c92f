#pragma once

// ui::PopupMenuItem: one entry of a popup menu: a title, an optional image, a float value, and the action
// that choosing it sends to its target. The target is held weakly: an item whose target has gone sends
// nothing.
//
// Thread-safety: made and chosen on the main thread; choosing from another thread waits for the main thread.

#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/values/Object.h"
#include "platform/uikit/drawing/Image.h"

namespace ui {

class PopupMenuItem : public ns::Object {
 public:
  // A new item that sends `action` (with the item) to `target` when chosen; a null action sends nothing.
  template <typename T>
  static std::shared_ptr<PopupMenuItem> menuItem(std::string title, std::shared_ptr<const uikit::Image> image,
                                                 const std::shared_ptr<T>& target,
                                                 void (T::*action)(PopupMenuItem&), float value) {
    std::weak_ptr<T> weakTarget = target;
    Invoker invoker;
    if (action != nullptr) {
      invoker = [weakTarget, action](PopupMenuItem& item) {
        if (auto strongTarget = weakTarget.lock()) {
          ((*strongTarget).*action)(item);
        }
      };
    }
    return std::make_shared<PopupMenuItem>(std::move(title), std::move(image), std::move(invoker), value);
  }

  using Invoker = std::function<void(PopupMenuItem&)>;
  // Use menuItem(); public for std::make_shared.
  PopupMenuItem(std::string title, std::shared_ptr<const uikit::Image> image, Invoker invoker, float value);

  const std::string& title() const { return title_; }
  const std::shared_ptr<const uikit::Image>& image() const { return image_; }
  float value() const { return value_; }

  // Sends the action to the target on the main thread and waits until it is done; nothing when the target
  // has gone or there is no action.
  void performAction();

 private:
  const std::string title_;
  const std::shared_ptr<const uikit::Image> image_;
  const Invoker invoker_;
  const float value_;
};

}  // namespace ui
