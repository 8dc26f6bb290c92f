#pragma once

// ns::DispatchQueue: queues of tasks, the stand-in for the platform's dispatch queues.
// - main(): tasks run on the main run loop, in order.
// - serial: one thread of its own, named after the queue, runs tasks in order.
// - concurrent: a pool of threads runs tasks in any order, several at once. The pool grows when every
//   thread is busy (up to 64 threads), so a task that blocks does not hold up the others.
// async() never runs a task before returning. Queues are ns::Objects living in std::shared_ptr (main() and
// global() too), so work queued for later (after(), DispatchGroup::notify) keeps its queue alive.
// Thread-safe: every method may be called from any thread.

#include <memory>
#include <string>

#include "platform/foundation/loop/DispatchGroup.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/values/Object.h"

namespace ns {

class DispatchQueue : public Object {
 public:
  enum class Kind { kMain, kSerial, kConcurrent };

  // The queue whose tasks run on RunLoop::main(). Lives for the whole process.
  static DispatchQueue& main();
  // The process-wide concurrent queue. Lives for the whole process.
  static DispatchQueue& global();
  // A serial queue with a thread of its own named `label` (the kernel keeps its first 15 bytes). The thread
  // ends when the last reference is dropped, after the tasks already queued have run.
  static std::shared_ptr<DispatchQueue> createSerial(std::string label);
  // A concurrent queue over its own pool of threads, named `label`. The threads end when the last reference
  // is dropped, after the tasks already queued have run.
  static std::shared_ptr<DispatchQueue> createConcurrent(std::string label);

  virtual const std::string& label() const = 0;
  virtual Kind kind() const = 0;

  // Queues `task`.
  virtual void async(Task task) = 0;
  // Runs `task` on the queue and waits for it. Called from a task of this same queue (or on the main
  // thread for main()), where waiting would never end, it runs the task in place instead.
  // REQUIRES: no cycle of sync() calls between queues.
  virtual void sync(Task task);
  // Queues `task` after `delay` of real time; the queue is kept alive until then. On main() the delay is a
  // main-loop timer instead, so a manual clock drives it; that timer is scheduled at once when called on
  // the main thread, else at the main loop's next turn.
  virtual void after(Duration delay, Task task);
  // True when the calling thread is running a task of this queue (for main(): is the main thread).
  virtual bool isCurrent() const = 0;

  // Returns a reference-counted handle on this queue.
  std::shared_ptr<DispatchQueue> retained();
};

}  // namespace ns
