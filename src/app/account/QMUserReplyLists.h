#pragma once

// replyList(): the list a user-centre reply hands over (the coin transactions, a page of orders) as the
// screens keep it. The back end may leave the list out or send null, or something that is not a list;
// each of those reads as an empty list, so that a screen shows nothing rather than failing. Entries that
// are not dictionaries are no records at all and are left out, rather than shown as blank rows.
// Thread-safety: any thread.

#include <algorithm>
#include <iterator>
#include <vector>

#include "platform/foundation/values/Value.h"

namespace app {

// Returns the dictionaries of `list` when it is an array, else an empty list.
inline std::vector<ns::Value> replyList(const ns::Value& list) {
  std::vector<ns::Value> records;
  if (list.isArray()) {
    std::copy_if(list.asArray().begin(), list.asArray().end(), std::back_inserter(records),
                 [](const ns::Value& entry) { return entry.isDictionary(); });
  }
  return records;
}

}  // namespace app
