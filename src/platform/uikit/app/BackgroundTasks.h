#pragma once

// uikit::BackgroundTasks: the work the application has asked to finish before it ends. Each task holds an
// expiration handler; the system runs the handlers of the tasks still held when the allowed time runs out,
// which here is when the application terminates (Linux gives a process no background allowance to end).
//
// Thread-safety: every method may be called from any thread; expireAll() runs the handlers on its caller's
// thread, with no lock held, so that a handler may end its task.

#include <cstdint>
#include <functional>
#include <map>

#include "platform/foundation/check/Mutex.h"

namespace uikit {

using BackgroundTaskIdentifier = std::uint64_t;
// Never names a task.
inline constexpr BackgroundTaskIdentifier kBackgroundTaskInvalid = 0;

class BackgroundTasks {
 public:
  // Returns the new task's identifier, never kBackgroundTaskInvalid. `expirationHandler` may be empty.
  BackgroundTaskIdentifier begin(std::function<void()> expirationHandler);
  // Ends the task; an unknown or already ended one is ignored.
  void end(BackgroundTaskIdentifier identifier);
  // The tasks not yet ended.
  std::size_t count() const;
  // Runs the expiration handler of every task held, in the order they began, and ends them.
  void expireAll();
  // Forgets every task without running its handler.
  void clear();

 private:
  mutable ns::Mutex mutex_;
  std::map<BackgroundTaskIdentifier, std::function<void()>> handlers_ QM_GUARDED_BY(mutex_);
  BackgroundTaskIdentifier nextIdentifier_ QM_GUARDED_BY(mutex_) = 1;
};

}  // namespace uikit
