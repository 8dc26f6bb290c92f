#pragma once

// ns::ConcurrentDispatchQueue: a queue over a pool of threads named after it. A thread is added whenever a
// task arrives and every thread is busy (up to kMaxThreads), so a task that blocks never holds up the rest;
// a thread that runs out of tasks polls for more for a moment before it sleeps, and a thread idle for a few
// seconds ends. Releasing the queue lets the queued tasks run and waits for the threads to end, unless it is
// released from one of its own tasks. Contract: DispatchQueue.h.
// Thread-safe.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <string>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/DispatchQueue.h"

namespace ns {

class ConcurrentDispatchQueue final : public DispatchQueue {
 public:
  static constexpr std::size_t kMaxThreads = 64;

  explicit ConcurrentDispatchQueue(std::string label);
  ~ConcurrentDispatchQueue() override;

  const std::string& label() const override { return pool_->label; }
  Kind kind() const override { return Kind::kConcurrent; }
  void async(Task task) override;
  bool isCurrent() const override;

 private:
  // Shared with the pool's threads, which may outlive the queue when it is released from one of them.
  struct Pool {
    explicit Pool(std::string poolLabel) : label(std::move(poolLabel)) {}

    // Constant after construction
    const std::string label;

    Mutex mutex;
    std::condition_variable workAvailable;
    std::condition_variable threadsEnded;
    std::deque<Task> tasks QM_GUARDED_BY(mutex);
    std::size_t threads QM_GUARDED_BY(mutex) = 0;
    std::size_t idleThreads QM_GUARDED_BY(mutex) = 0;      // polling or sleeping for want of a task
    std::size_t spinningThreads QM_GUARDED_BY(mutex) = 0;  // of those, the ones still polling
    bool closing QM_GUARDED_BY(mutex) = false;
    // tasks.size(), changed under mutex, for a thread that spins before it sleeps to watch without it
    std::atomic<std::size_t> queuedTasks{0};
  };

  static void work(const std::shared_ptr<Pool>& pool);

  const std::shared_ptr<Pool> pool_;
};

}  // namespace ns
