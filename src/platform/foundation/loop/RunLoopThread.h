#pragma once

// ns::RunLoopThread: a thread of its own, named as given, that runs its RunLoop until the object is
// released. The HTTP client's network thread is one: connections, their descriptor sources and timers are
// scheduled on runLoop() by posting to it.
//
// Releasing the object stops the loop once the tasks posted before the release have run, and joins the
// thread; released from a task on that very thread, it lets the thread end on its own instead.
//
// Thread-safety: every method may be called from any thread; use runLoop() from other threads only to
// post(), stop() or wake it.

#include <memory>
#include <string>

#include "platform/foundation/loop/RunLoop.h"

namespace ns {

class RunLoopThread {
 public:
  // Starts the thread named `name` (the kernel keeps its first 15 bytes) and returns once its loop exists.
  explicit RunLoopThread(std::string name);
  ~RunLoopThread();
  RunLoopThread(const RunLoopThread&) = delete;
  RunLoopThread& operator=(const RunLoopThread&) = delete;

  // The thread's loop, valid for the life of this object.
  RunLoop& runLoop() const;
  const std::string& name() const;
  // True when called on this thread.
  bool isCurrent() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace ns
