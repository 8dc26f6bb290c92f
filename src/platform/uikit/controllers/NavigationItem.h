#pragma once

// uikit::NavigationItem: what a navigation bar shows while its controller is on top: the title and the bar
// button items, and whether the back button is hidden. Shared by its controller and the bar showing it; that
// bar is told of every change so that it redraws.
//
// Observable (ns::KeyValueObservable) under kRightBarButtonItemKey: every set of the right item is announced
// after it is stored. The change carries no values, since an item is not a value; observers read
// rightBarButtonItem(). Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <string>

#include "platform/foundation/notify/KeyValueObservable.h"
#include "platform/uikit/controllers/BarButtonItem.h"

namespace uikit {

class NavigationBar;

class NavigationItem : public ns::KeyValueObservable {
 public:
  static constexpr char kRightBarButtonItemKey[] = "rightBarButtonItem";

  NavigationItem() = default;
  NavigationItem(const NavigationItem&) = delete;
  NavigationItem& operator=(const NavigationItem&) = delete;

  const std::string& title() const { return title_; }
  void setTitle(std::string title);
  // The left item replaces the back button while it is set.
  const std::shared_ptr<BarButtonItem>& leftBarButtonItem() const { return leftBarButtonItem_; }
  void setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item);
  const std::shared_ptr<BarButtonItem>& rightBarButtonItem() const { return rightBarButtonItem_; }
  void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item);
  bool hidesBackButton() const { return hidesBackButton_; }
  void setHidesBackButton(bool hides);

 private:
  friend class NavigationBar;

  void changed();

  std::string title_;
  std::shared_ptr<BarButtonItem> leftBarButtonItem_;
  std::shared_ptr<BarButtonItem> rightBarButtonItem_;
  bool hidesBackButton_ = false;
  NavigationBar* shownBy_ = nullptr;  // non-owning; the bar, which holds the item, clears it when it lets go
};

}  // namespace uikit
