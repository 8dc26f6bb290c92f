#pragma once

// ns::Notification: what NotificationCenter delivers to its observers. A plain value; thread-safe as a value.

#include <memory>
#include <string>

#include "platform/foundation/values/Object.h"
#include "platform/foundation/values/Value.h"

namespace ns {

struct Notification {
  // The notification's name, e.g. "QMDLSuccess".
  std::string name;
  // The sender or subject of the notification; may be null. Observers may filter on it by identity.
  std::shared_ptr<Object> object;
  // Further details; empty when the poster gave none.
  Dictionary userInfo;
};

}  // namespace ns
