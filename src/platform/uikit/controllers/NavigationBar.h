#pragma once

// uikit::NavigationBar: the bar at the top of a navigation controller. It shows the top controller's item:
// the title, the left item (or, when there is none, a back button titled after the item below, unless the
// item hides it) and the right item, each item as a button a tap works, or as its custom view. Its screen
// text is the line "title: <title>" and the buttons' lines; the back button is named "back".
//
// Thread-safety: main thread only, like every class of uikit.

#include <functional>
#include <memory>
#include <optional>

#include "platform/uikit/controllers/NavigationItem.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/drawing/TextAttributes.h"
#include "platform/uikit/views/View.h"

namespace uikit {

class NavigationBar : public View {
 public:
  // The height of the bar with the status bar above it.
  static constexpr double kHeight = 64;

  explicit NavigationBar(Rect frame = {});
  ~NavigationBar() override;

  // The colour of the bar's buttons and of the bar itself.
  const std::optional<Color>& tintColor() const { return tintColor_; }
  void setTintColor(std::optional<Color> color) { tintColor_ = std::move(color); }
  const std::optional<Color>& barTintColor() const { return barTintColor_; }
  void setBarTintColor(std::optional<Color> color) { barTintColor_ = std::move(color); }
  const TextAttributes& titleTextAttributes() const { return titleTextAttributes_; }
  void setTitleTextAttributes(TextAttributes attributes) { titleTextAttributes_ = std::move(attributes); }

  // Shows `topItem`, with a back button to `backItem` (nullptr: none) that runs `backAction`.
  void showItems(std::shared_ptr<NavigationItem> topItem, std::shared_ptr<NavigationItem> backItem,
                 std::function<void()> backAction);
  const std::shared_ptr<NavigationItem>& topItem() const { return topItem_; }
  const std::shared_ptr<NavigationItem>& backItem() const { return backItem_; }

  void renderInto(ScreenText& text) const override;

 private:
  friend class NavigationItem;

  // Rebuilds the buttons from the items.
  void reloadItems();
  void removeButtons();
  std::shared_ptr<Button> addItemButton(const std::string& title, std::string identifier, double x,
                                        std::function<void()> action);
  // Shows `item` at `x`: its custom view, else a button that sends its action.
  void addItem(const std::shared_ptr<BarButtonItem>& item, double x);

  std::optional<Color> tintColor_;
  std::optional<Color> barTintColor_;
  TextAttributes titleTextAttributes_;
  std::shared_ptr<NavigationItem> topItem_;
  std::shared_ptr<NavigationItem> backItem_;
  std::function<void()> backAction_;
  // The buttons and custom views on the bar.
  std::vector<std::shared_ptr<View>> buttons_;
};

}  // namespace uikit
