#pragma once

// makeBackItem(): the "返回" item at the left of a screen's navigation bar, which sends `action` to
// `screen` (held weakly by the item, as every target is). Thread-safety: main thread only.

#include <memory>

#include "platform/uikit/controllers/BarButtonItem.h"

namespace app {

inline constexpr char kBackItemTitle[] = "返回";

template <typename Screen>
std::shared_ptr<uikit::BarButtonItem> makeBackItem(const std::shared_ptr<Screen>& screen,
                                                   void (Screen::*action)(uikit::BarButtonItem&)) {
  auto item = std::make_shared<uikit::BarButtonItem>(kBackItemTitle);
  item->setTarget(screen, action);
  return item;
}

}  // namespace app
