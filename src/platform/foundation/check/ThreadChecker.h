#pragma once

// ns::ThreadChecker: remembers the thread that owns an object, for QM_DCHECK_CALLED_ON (Check.h). An object
// whose rule is "used on the thread that made it" (a socket on its loop's thread, a serial worker's state)
// holds one as a member; its public entry points check it.
//
// Thread-safety: isCurrent() may be called from any thread; the checker is constant after construction.

#include <thread>

namespace ns {

class ThreadChecker {
 public:
  // Bound to the calling thread.
  ThreadChecker() : owner_(std::this_thread::get_id()) {}
  // Bound to `owner`, for objects made on one thread for another (a loop's parts, made for its thread).
  explicit ThreadChecker(std::thread::id owner) : owner_(owner) {}

  // True when called on the owning thread.
  bool isCurrent() const { return std::this_thread::get_id() == owner_; }

 private:
  // Constant after construction
  std::thread::id owner_;
};

}  // namespace ns
