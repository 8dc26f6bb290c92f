#pragma once

// uikit::BarButtonItem: a button of a navigation bar, with a title or an image and one target–action, or a
// custom view of the caller's (usually a button with its own actions). The bar shows a custom view as it is,
// and any other item as a button whose tap sends the action. The target is held weakly.
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <string>

#include "platform/foundation/values/Object.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/support/TargetActions.h"
#include "platform/uikit/views/View.h"

namespace uikit {

class BarButtonItem : public ns::Object {
 public:
  enum class Style : int { kPlain = 0, kBordered = 1, kDone = 2 };

  explicit BarButtonItem(std::string title, Style style = Style::kPlain);
  explicit BarButtonItem(std::shared_ptr<const Image> image, Style style = Style::kPlain);
  // An item the bar shows as `customView`, which the item owns. REQUIRES: customView is not nullptr.
  explicit BarButtonItem(std::shared_ptr<View> customView);

  const std::string& title() const { return title_; }
  void setTitle(std::string title) { title_ = std::move(title); }
  const std::shared_ptr<const Image>& image() const { return image_; }
  Style style() const { return style_; }
  // The view the bar shows in place of a button; nullptr for a button item.
  const std::shared_ptr<View>& customView() const { return customView_; }
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }

  // Makes `action` of `target` the item's action, replacing an earlier one.
  template <typename T>
  void setTarget(const std::shared_ptr<T>& target, void (T::*action)(BarButtonItem&)) {
    actions_.remove(nullptr, kTap);
    actions_.add(target, action, kTap);
  }
  // Sends the action, as a tap does; nothing when the item is disabled or its target has gone.
  void sendAction();

 private:
  static constexpr std::uint64_t kTap = 1;

  std::string title_;
  std::shared_ptr<const Image> image_;
  std::shared_ptr<View> customView_;
  Style style_;
  bool enabled_ = true;
  TargetActions<BarButtonItem> actions_;
};

}  // namespace uikit
