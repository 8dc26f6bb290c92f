#include "platform/foundation/loop/DispatchGroup.h"

#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/foundation/loop/Deadline.h"
#include "platform/foundation/loop/DispatchQueue.h"

namespace ns {

struct DispatchGroup::State {
  std::mutex mutex;
  std::condition_variable emptied;
  // Guarded by mutex
  std::size_t outstanding = 0;
  std::vector<std::pair<std::shared_ptr<DispatchQueue>, Task>> notifications;
};

DispatchGroup::DispatchGroup() : state_(std::make_shared<State>()) {}

DispatchGroup::~DispatchGroup() = default;

void DispatchGroup::enter() {
  std::lock_guard lock(state_->mutex);
  ++state_->outstanding;
}

void DispatchGroup::leave() {
  std::vector<std::pair<std::shared_ptr<DispatchQueue>, Task>> due;
  {
    std::lock_guard lock(state_->mutex);
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
    std::lock_guard lock(state_->mutex);
    if (state_->outstanding > 0) {
      state_->notifications.emplace_back(queue.retained(), std::move(task));
      return;
    }
  }
  queue.async(std::move(task));
}

bool DispatchGroup::wait(Duration timeout) {
  std::unique_lock lock(state_->mutex);
  return state_->emptied.wait_until(lock, deadlineAfter(timeout),
                                    [this] { return state_->outstanding == 0; });
}

}  // namespace ns
