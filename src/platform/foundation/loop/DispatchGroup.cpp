#include "platform/foundation/loop/DispatchGroup.h"

#include <condition_variable>
#include <utility>
#include <vector>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/Deadline.h"
#include "platform/foundation/loop/DispatchQueue.h"

namespace ns {

struct DispatchGroup::State {
  Mutex mutex;
  std::condition_variable emptied;
  std::size_t outstanding QM_GUARDED_BY(mutex) = 0;
  std::vector<std::pair<std::shared_ptr<DispatchQueue>, Task>> notifications QM_GUARDED_BY(mutex);
};

DispatchGroup::DispatchGroup() : state_(std::make_shared<State>()) {}

DispatchGroup::~DispatchGroup() = default;

void DispatchGroup::enter() {
  MutexLock lock(state_->mutex);
  ++state_->outstanding;
}

void DispatchGroup::leave() {
  std::vector<std::pair<std::shared_ptr<DispatchQueue>, Task>> due;
  {
    MutexLock lock(state_->mutex);
    if (state_->outstanding == 0) {
      return;
    }
    if (--state_->outstanding > 0) {
      return;
    }
    due.swap(state_->notifications);
    state_->emptied.notify_all();
  }
  for (auto& [queue, task] : due) {
    queue->async(std::move(task));
  }
}

void DispatchGroup::async(DispatchQueue& queue, Task task) {
  enter();
  queue.async([group = *this, task = std::move(task)]() mutable {
    task();
    group.leave();
  });
}

void DispatchGroup::notify(DispatchQueue& queue, Task task) {
  {
    MutexLock lock(state_->mutex);
    if (state_->outstanding > 0) {
      state_->notifications.emplace_back(queue.retained(), std::move(task));
      return;
    }
  }
  queue.async(std::move(task));
}

bool DispatchGroup::wait(Duration timeout) {
  const TimePoint deadline = deadlineAfter(timeout);
  MutexLock lock(state_->mutex);
  while (state_->outstanding > 0) {
    if (lock.waitUntil(state_->emptied, deadline) == std::cv_status::timeout) {
      return state_->outstanding == 0;
    }
  }
  return true;
}

}  // namespace ns
