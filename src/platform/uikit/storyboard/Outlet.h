#pragma once

// uikit::outlet(): names a view after the outlet that holds it, so that the screen text and the driver know
// it by that name ("userNameTF"), as a storyboard's outlets are known. Thread-safety: main thread only.

#include <memory>
#include <string>

#include "platform/uikit/views/View.h"

namespace uikit {

// Sets `view`'s accessibility identifier to `name` and returns `view`.
template <typename T>
std::shared_ptr<T> outlet(std::string name, std::shared_ptr<T> view) {
  view->setAccessibilityIdentifier(std::move(name));
  return view;
}

}  // namespace uikit
