#pragma once

// ns::DispatchQueue: queues of tasks, the stand-in for the platform's dispatch queues.
// - main(): tasks run on the main run loop, in order.
// - serial: one thread of its own, named after the queue, runs tasks in order.
// - concurrent: a pool of threads runs tasks in any order, several at once.
// async() never runs a task before returning. Thread-safe: every method may be called from any thread.

#include <memory>
#include <string>

#include "platform/foundation/loop/RunLoop.h"

namespace ns {

class DispatchQueue {
 public:
  enum class Kind { kMain, kSerial, kConcurrent };

  // The queue whose tasks run on RunLoop::main().
  static DispatchQueue& main();
  // The process-wide concurrent queue.
  static DispatchQueue& global();
  // A serial queue with a thread of its own named `label` (the kernel keeps its first 15 bytes). The thread
  // ends when the last reference is dropped, after the tasks already queued have run.
  static std::shared_ptr<DispatchQueue> createSerial(std::string label);
  // A concurrent queue over its own pool of threads.
  static std::shared_ptr<DispatchQueue> createConcurrent(std::string label);

  virtual ~DispatchQueue() = default;

  virtual const std::string& label() const = 0;
  virtual Kind kind() const = 0;

  // Queues `task`.
  virtual void async(Task task) = 0;
  // Runs `task` on the queue and waits for it. REQUIRES: not called from a task of this same serial queue
  // (or of main() on the main thread), which would wait for ever; such a call runs the task in place instead.
  virtual void sync(Task task) = 0;
  // Queues `task` after `delay`. On main() the delay is a main-loop timer, so a manual clock drives it.
  virtual void after(Duration delay, Task task) = 0;
  // True when the calling thread is running a task of this queue (for main(): is the main thread).
  virtual bool isCurrent() const = 0;
};

// ns::DispatchGroup: counts outstanding work; notify() runs a task once the count falls to zero.
// Thread-safe.
class DispatchGroup {
 public:
  DispatchGroup();
  ~DispatchGroup();

  void enter();
  // REQUIRES: matches an earlier enter().
  void leave();
  // Enters, queues `task` on `queue`, and leaves when it has run.
  void async(DispatchQueue& queue, Task task);
  // Queues `task` on `queue` when the group is empty: at once if it is empty now, else when it next becomes
  // empty.
  void notify(DispatchQueue& queue, Task task);
  // Blocks until the group is empty or `timeout` has passed. Returns true when the group emptied.
  // REQUIRES: not on the main thread while main-queue work of the group is outstanding.
  bool wait(Duration timeout);

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace ns
