#pragma once

// ns::DispatchGroup: counts outstanding work; notify() queues a task once the count falls to zero. Copies
// share one group, so a copy may be captured by the work it counts.
// Thread-safe.

#include <memory>

#include "platform/foundation/loop/RunLoop.h"

namespace ns {

class DispatchQueue;

class DispatchGroup {
 public:
  DispatchGroup();
  ~DispatchGroup();

  void enter();
  // REQUIRES: matches an earlier enter(). An unmatched leave() is ignored.
  void leave();
  // Enters, queues `task` on `queue`, and leaves when it has run.
  void async(DispatchQueue& queue, Task task);
  // Queues `task` on `queue` when the group is empty: at once if it is empty now, else when it next becomes
  // empty. The queue is kept alive until then.
  void notify(DispatchQueue& queue, Task task);
  // Blocks until the group is empty or `timeout` of real time has passed. Returns true when the group
  // emptied. REQUIRES: not on the main thread while main-queue work of the group is outstanding.
  bool wait(Duration timeout);

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace ns
