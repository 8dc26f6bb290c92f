#include "ui/popup/PopupMenu.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/gestures/TapGestureRecognizer.h"

namespace ui {
namespace {

constexpr double kItemWidth = 160;
constexpr double kItemHeight = 44;

std::optional<uikit::Color>& tintSlot() {
  static std::optional<uikit::Color> tint;
  return tint;
}

}  // namespace

PopupMenu::PopupMenu() {
  auto tapBeside = std::make_shared<uikit::TapGestureRecognizer>();
  // The menu owns its recogniser, so the action cannot outlive it.
  tapBeside->addAction([](uikit::GestureRecognizer&) { PopupMenu::dismissMenu(); });
  addGestureRecognizer(std::move(tapBeside));
}

const std::shared_ptr<PopupMenu>& PopupMenu::sharedMenu() {
  static const std::shared_ptr<PopupMenu> menu = [] {
    auto made = std::make_shared<PopupMenu>();
    ns::NotificationCenter::defaultCenter().addObserverForName(
        std::string(uikit::kApplicationWillChangeStatusBarOrientationNotification), nullptr, nullptr,
        [](const ns::Notification&) { PopupMenu::dismissMenu(); });
    return made;
  }();
  return menu;
}

void PopupMenu::showMenuInView(uikit::View& view, uikit::Rect fromRect,
                               std::vector<std::shared_ptr<PopupMenuItem>> items) {
  QM_DCHECK_MAIN_THREAD();
  dismissMenu();
  sharedMenu()->showItems(view, fromRect, std::move(items));
}

void PopupMenu::dismissMenu() {
  QM_DCHECK_MAIN_THREAD();
  if (auto menu = shownMenu()) {
    menu->removeFromSuperview();
  }
}

std::shared_ptr<PopupMenu> PopupMenu::shownMenu() {
  QM_DCHECK_MAIN_THREAD();
  const auto& menu = sharedMenu();
  return menu->superview() != nullptr ? menu : nullptr;
}

void PopupMenu::setTintColor(std::optional<uikit::Color> color) {
  QM_DCHECK_MAIN_THREAD();
  tintSlot() = std::move(color);
}

std::optional<uikit::Color> PopupMenu::tintColor() {
  QM_DCHECK_MAIN_THREAD();
  return tintSlot();
}

void PopupMenu::showItems(uikit::View& view, uikit::Rect fromRect,
                          std::vector<std::shared_ptr<PopupMenuItem>> items) {
  const std::vector<std::shared_ptr<uikit::View>> formerButtons = subviews();
  for (const auto& button : formerButtons) {
    button->removeFromSuperview();
  }
  items_ = std::move(items);
  fromRect_ = fromRect;
  setFrame(view.bounds());
  // The items hang below the rectangle they point at.
  double y = fromRect.maxY();
  for (const auto& item : items_) {
    auto button = std::make_shared<uikit::Button>(
        uikit::Rect(fromRect.midX() - kItemWidth / 2, y, kItemWidth, kItemHeight));
    button->setTitle(item->title(), uikit::kControlStateNormal);
    button->setImage(item->image(), uikit::kControlStateNormal);
    // The menu owns its buttons, so the action cannot outlive it.
    button->addAction([this, item](uikit::Control&) { choose(item); }, uikit::kControlEventTouchUpInside);
    addSubview(std::move(button));
    y += kItemHeight;
  }
  view.addSubview(sharedMenu());
}

void PopupMenu::choose(const std::shared_ptr<PopupMenuItem>& item) {
  dismissMenu();
  item->performAction();
}

}  // namespace ui
