#pragma once

// Sorting store objects by an identifier's text, the way the store's lists are ordered: by UTF-16 code
// unit, so "10" comes before "9", with a missing text before any text. Thread-safe: pure functions.

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/text/Utf16.h"

namespace app {

// True when `a` sorts before `b`.
inline bool textAscending(const std::optional<std::string>& a, const std::optional<std::string>& b) {
  if (!a || !b) {
    return !a && b;
  }
  return ns::utf16Compare(*a, *b) < 0;
}

// Returns `objects` sorted ascending by the text `key` gives for each; equal keys keep their order.
template <typename T, typename Key>
std::vector<std::shared_ptr<T>> sortedByText(std::vector<std::shared_ptr<T>> objects, Key key) {
  std::stable_sort(objects.begin(), objects.end(),
                   [&key](const std::shared_ptr<T>& a, const std::shared_ptr<T>& b) {
                     return textAscending(key(*a), key(*b));
                   });
  return objects;
}

}  // namespace app
