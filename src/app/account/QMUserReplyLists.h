#pragma once

// replyList(): the list a user-centre reply hands over (the coin transactions, a page of orders) as the
// screens keep it. The back end may leave the list out or send null, or something that is not a list;
// each of those reads as an empty list, so that a screen shows nothing rather than failing.
// Thread-safety: any thread.

#include <vector>

#include "platform/foundation/values/Value.h"

namespace app {

// Returns the elements of `list` when it is an array, else an empty list.
inline std::vector<ns::Value> replyList(const ns::Value& list) {
  return list.isArray() ? list.asArray() : std::vector<ns::Value>{};
}

}  // namespace app
