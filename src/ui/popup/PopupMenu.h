#pragma once

// ui::PopupMenu: the one menu of the application that pops up over a view, pointing at a rectangle of it,
// with a button per item. Choosing an item dismisses the menu and then sends the item's action; a tap beside
// the items dismisses it. Showing it again first dismisses the menu shown. The menu also dismisses itself
// when the status bar is about to turn.
//
// The menu is a view that covers the view it is shown in; its buttons are on screen as the items' titles.
//
// Thread-safety: main thread only, like the views it lives among.

#include <memory>
#include <optional>
#include <vector>

#include "platform/uikit/drawing/Color.h"
#include "platform/uikit/views/View.h"
#include "ui/popup/PopupMenuItem.h"

namespace ui {

class PopupMenu : public uikit::View {
 public:
  // Shows the shared menu in `view`, pointing at `fromRect` (in `view`'s coordinates), with `items`.
  static void showMenuInView(uikit::View& view, uikit::Rect fromRect,
                             std::vector<std::shared_ptr<PopupMenuItem>> items);
  // Dismisses the shared menu when it is shown; nothing otherwise.
  static void dismissMenu();
  // The shared menu while it is shown, else nullptr.
  static std::shared_ptr<PopupMenu> shownMenu();
  // The tint used to draw menus, kept until changed; std::nullopt is the default look.
  static void setTintColor(std::optional<uikit::Color> color);
  static std::optional<uikit::Color> tintColor();

  const std::vector<std::shared_ptr<PopupMenuItem>>& menuItems() const { return items_; }
  uikit::Rect fromRect() const { return fromRect_; }

  // Use showMenuInView(); public for std::make_shared.
  PopupMenu();

 private:
  // The shared menu, made on first use; it dismisses itself when the status bar is about to turn.
  static const std::shared_ptr<PopupMenu>& sharedMenu();
  void showItems(uikit::View& view, uikit::Rect fromRect, std::vector<std::shared_ptr<PopupMenuItem>> items);
  void choose(const std::shared_ptr<PopupMenuItem>& item);

  std::vector<std::shared_ptr<PopupMenuItem>> items_;
  uikit::Rect fromRect_;
};

}  // namespace ui
