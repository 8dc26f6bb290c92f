#include "platform/uikit/controllers/NavigationBar.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/ScreenText.h"

namespace uikit {
namespace {

constexpr double kStatusBarHeight = 20;
constexpr double kButtonWidth = 80;

std::string itemTitle(const BarButtonItem& item) {
  if (!item.title().empty()) {
    return item.title();
  }
  return item.image() ? item.image()->name() : "";
}

}  // namespace

NavigationBar::NavigationBar(Rect frame) : View(frame) {}

NavigationBar::~NavigationBar() {
  if (topItem_ && topItem_->shownBy_ == this) {
    topItem_->shownBy_ = nullptr;
  }
}

void NavigationBar::showItems(std::shared_ptr<NavigationItem> topItem,
                              std::shared_ptr<NavigationItem> backItem, std::function<void()> backAction) {
  QM_DCHECK_MAIN_THREAD();
  if (topItem_ && topItem_->shownBy_ == this) {
    topItem_->shownBy_ = nullptr;
  }
  topItem_ = std::move(topItem);
  backItem_ = std::move(backItem);
  backAction_ = std::move(backAction);
  if (topItem_) {
    topItem_->shownBy_ = this;
  }
  reloadItems();
}

void NavigationBar::removeButtons() {
  for (const auto& button : buttons_) {
    button->removeFromSuperview();
  }
  buttons_.clear();
}

std::shared_ptr<Button> NavigationBar::addItemButton(const std::string& title, std::string identifier,
                                                     double x, std::function<void()> action) {
  auto button = std::make_shared<Button>(Rect(x, kStatusBarHeight, kButtonWidth, kHeight - kStatusBarHeight));
  button->setTitle(title, kControlStateNormal);
  button->setAccessibilityIdentifier(std::move(identifier));
  // The bar owns the button, and the action captures only what the bar itself holds.
  button->addAction([action = std::move(action)](Control&) { action(); }, kControlEventTouchUpInside);
  addSubview(button);
  buttons_.push_back(button);
  return button;
}

void NavigationBar::addItem(const std::shared_ptr<BarButtonItem>& item, double x) {
  if (const std::shared_ptr<View>& custom = item->customView()) {
    custom->setFrame(Rect(x, kStatusBarHeight, kButtonWidth, kHeight - kStatusBarHeight));
    addSubview(custom);
    buttons_.push_back(custom);
    return;
  }
  addItemButton(itemTitle(*item), "", x, [item] { item->sendAction(); })->setEnabled(item->isEnabled());
}

void NavigationBar::reloadItems() {
  removeButtons();
  if (!topItem_) {
    return;
  }
  if (const auto& left = topItem_->leftBarButtonItem()) {
    addItem(left, 0);
  } else if (backItem_ && !topItem_->hidesBackButton()) {
    const std::string backTitle = backItem_->title().empty() ? "Back" : backItem_->title();
    addItemButton("< " + backTitle, "back", 0, [this] {
      if (backAction_) {
        backAction_();
      }
    });
  }
  if (const auto& right = topItem_->rightBarButtonItem()) {
    addItem(right, bounds().width() - kButtonWidth);
  }
}

void NavigationBar::renderInto(ScreenText& text) const {
  if (topItem_ && !topItem_->title().empty()) {
    text.addRawLine(ScreenText::Section::kTitle, "title: " + topItem_->title());
  }
  View::renderInto(text);
}

}  // namespace uikit
