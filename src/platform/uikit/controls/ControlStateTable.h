#pragma once

// uikit::ControlStateTable: a value per control state (a button's title, image, background image, title
// colour), read with the platform's fallback: the value set for the exact state, else the normal state's.
// Main thread only, like its control.

#include <map>
#include <optional>

#include "platform/uikit/controls/Control.h"

namespace uikit {

template <typename T>
class ControlStateTable {
 public:
  // Sets the value of `state`; std::nullopt removes it, so the state falls back to normal.
  void set(std::optional<T> value, ControlState state) {
    if (value) {
      values_.insert_or_assign(state, std::move(*value));
    } else {
      values_.erase(state);
    }
  }

  // Returns the value of `state`, else the normal state's, else std::nullopt.
  std::optional<T> get(ControlState state) const {
    auto found = values_.find(state);
    if (found == values_.end()) {
      found = values_.find(kControlStateNormal);
    }
    return found == values_.end() ? std::nullopt : std::optional<T>(found->second);
  }

 private:
  std::map<ControlState, T> values_;
};

}  // namespace uikit
