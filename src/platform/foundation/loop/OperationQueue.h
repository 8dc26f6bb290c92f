#pragma once

// ns::OperationQueue: runs operations as they become ready, up to a limit of operations executing at once
// (unlimited by default). Ready operations start in the order they were added. A plain operation's start()
// runs on a thread of the process-wide concurrent dispatch queue, never on the thread that adds it. A
// concurrent operation's start() only begins its work, so the queue calls it at once where it finds the
// operation ready: on the thread that calls addOperation(), addOperations(), setSuspended(false),
// setMaxConcurrentOperationCount() or the destructor, or else on a thread of the global queue. The queue
// holds an operation from addOperation() until it announces that it finished; a cancelled operation is still
// started, so that it can finish at once.
//
// The queue learns of state changes through the operations' key observers. It never calls an operation
// while holding its own mutex, and an announcement never makes it start an operation on the announcing
// thread, so operations may take their own locks around their announcements. Releasing the queue lets the
// operations it holds run to their end; they keep its state alive until then.
//
// Thread-safety: every method may be called from any thread.

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/foundation/loop/Operation.h"

namespace ns {

class OperationQueue {
 public:
  // The value of maxConcurrentOperationCount that means no limit.
  static constexpr std::ptrdiff_t kDefaultMaxConcurrentOperationCount = -1;

  enum class WaitUntilFinished { kNo, kYes };

  OperationQueue();
  ~OperationQueue();
  OperationQueue(const OperationQueue&) = delete;
  OperationQueue& operator=(const OperationQueue&) = delete;

  // Queues `operation`; it starts once ready and allowed by the limit. REQUIRES: the operation has not
  // started and is in no queue; the caller holds no lock that a concurrent operation's start() takes.
  void addOperation(std::shared_ptr<Operation> operation);
  // Queues each operation in order; with kYes, then blocks until all of them have finished.
  // REQUIRES: as for addOperation; with kYes, not called from a task the operations wait for.
  void addOperations(const std::vector<std::shared_ptr<Operation>>& operations, WaitUntilFinished wait);

  // Returns the operations not yet finished, in the order added.
  std::vector<std::shared_ptr<Operation>> operations() const;
  std::size_t operationCount() const;

  // Calls cancel() on every operation the queue holds.
  void cancelAllOperations();
  // Blocks until the queue holds no operation.
  void waitUntilAllOperationsAreFinished();
  // Blocks until the queue holds no operation or `timeout` of real time has passed. Returns true when the
  // queue emptied.
  bool waitUntilAllOperationsAreFinished(Duration timeout);

  // A suspended queue starts no operation; those already started go on.
  void setSuspended(bool suspended);
  bool isSuspended() const;

  std::ptrdiff_t maxConcurrentOperationCount() const;
  // REQUIRES: count > 0, or kDefaultMaxConcurrentOperationCount.
  void setMaxConcurrentOperationCount(std::ptrdiff_t count);

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace ns
