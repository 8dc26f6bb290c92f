#pragma once

// ns::KeyValueChange: what a key-value observer is told when an observed property changes. A plain value;
// thread-safe as a value.

#include <string>

#include "platform/foundation/values/Value.h"

namespace ns {

struct KeyValueChange {
  // The property's name, e.g. "cachedVideo".
  std::string key;
  // The value before the change; null when the changer did not know it.
  Value oldValue;
  // The value after the change.
  Value newValue;
};

}  // namespace ns
