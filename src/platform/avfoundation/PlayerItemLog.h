#pragma once

// av::PlayerItemLog: the events a player item logged, oldest first; PlayerItem hands out copies, so a log
// kept by a caller does not change.
//
// Thread-safety: a value.

#include <utility>
#include <vector>

#include "platform/avfoundation/PlayerItemAccessLogEvent.h"
#include "platform/avfoundation/PlayerItemErrorLogEvent.h"

namespace av {

template <typename Event>
class PlayerItemLog {
 public:
  const std::vector<Event>& events() const { return events_; }
  void addEvent(Event event) { events_.push_back(std::move(event)); }

 private:
  std::vector<Event> events_;
};

using PlayerItemAccessLog = PlayerItemLog<PlayerItemAccessLogEvent>;
using PlayerItemErrorLog = PlayerItemLog<PlayerItemErrorLogEvent>;

}  // namespace av
