#include "platform/foundation/loop/OperationQueue.h"

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <mutex>

#include "platform/foundation/loop/Deadline.h"
#include "platform/foundation/loop/DispatchQueue.h"

namespace ns {

// The queue's bookkeeping. Its operations' observers hold it, so it lives until the last of them finishes.
//
// All decisions are taken in reconcile(), which runs on the global dispatch queue, one pass at a time per
// queue: there it may ask operations for their state without holding the mutex, and without holding
// whatever lock the announcing thread holds.
struct OperationQueue::State : std::enable_shared_from_this<OperationQueue::State> {
  struct Entry {
    std::shared_ptr<Operation> operation;
    Operation::ObserverToken token;
    bool started;
  };

  void scheduleReconcile();
  void reconcile();
  // Removes the finished operations; returns them, with their observer tokens.
  std::vector<Entry> removeFinished(const std::vector<Entry>& snapshot);
  std::vector<std::shared_ptr<Operation>> claimReadyOperations();
  bool holdsAnyOf(const std::vector<std::shared_ptr<Operation>>& operations) const;

  mutable std::mutex mutex;
  std::condition_variable removed;
  // Guarded by mutex
  std::vector<Entry> entries;  // in the order added
  std::size_t running = 0;     // started and not yet finished
  bool suspended = false;
  std::ptrdiff_t maxConcurrentOperationCount = kDefaultMaxConcurrentOperationCount;
  bool reconcileScheduled = false;
  bool reconcileAgain = false;
};

void OperationQueue::State::scheduleReconcile() {
  {
    std::lock_guard lock(mutex);
    if (reconcileScheduled) {
      reconcileAgain = true;
      return;
    }
    reconcileScheduled = true;
  }
  DispatchQueue::global().async([self = shared_from_this()] {
    for (;;) {
      self->reconcile();
      std::lock_guard lock(self->mutex);
      if (!self->reconcileAgain) {
        self->reconcileScheduled = false;
        return;
      }
      self->reconcileAgain = false;
    }
  });
}

void OperationQueue::State::reconcile() {
  std::vector<Entry> snapshot;
  {
    std::lock_guard lock(mutex);
    snapshot = entries;
  }
  for (const Entry& entry : removeFinished(snapshot)) {
    entry.operation->removeKeyObserver(entry.token);
  }
  for (auto& operation : claimReadyOperations()) {
    DispatchQueue::global().async([operation = std::move(operation)] { operation->start(); });
  }
}

std::vector<OperationQueue::State::Entry> OperationQueue::State::removeFinished(
    const std::vector<Entry>& snapshot) {
  std::vector<Entry> finished;
  std::copy_if(snapshot.begin(), snapshot.end(), std::back_inserter(finished),
               [](const Entry& entry) { return entry.operation->isFinished(); });
  if (finished.empty()) {
    return finished;
  }
  {
    std::lock_guard lock(mutex);
    for (const Entry& done : finished) {
      auto found = std::find_if(entries.begin(), entries.end(),
                                [&](const Entry& entry) { return entry.operation == done.operation; });
      if (found->started) {
        --running;
      }
      entries.erase(found);
    }
  }
  removed.notify_all();
  return finished;
}

std::vector<std::shared_ptr<Operation>> OperationQueue::State::claimReadyOperations() {
  std::size_t capacity = 0;
  std::vector<std::shared_ptr<Operation>> waiting;
  {
    std::lock_guard lock(mutex);
    if (!suspended) {
      capacity = maxConcurrentOperationCount < 0
                     ? std::numeric_limits<std::size_t>::max()
                     : static_cast<std::size_t>(std::max<std::ptrdiff_t>(
                           0, maxConcurrentOperationCount - static_cast<std::ptrdiff_t>(running)));
    }
    for (const Entry& entry : entries) {
      if (!entry.started) {
        waiting.push_back(entry.operation);
      }
    }
  }
  std::vector<std::shared_ptr<Operation>> ready;
  for (auto& operation : waiting) {
    if (ready.size() == capacity) {
      break;
    }
    if (operation->isReady()) {
      ready.push_back(std::move(operation));
    }
  }
  std::lock_guard lock(mutex);
  for (const auto& operation : ready) {
    auto found = std::find_if(entries.begin(), entries.end(),
                              [&](const Entry& entry) { return entry.operation == operation; });
    found->started = true;
    ++running;
  }
  return ready;
}

bool OperationQueue::State::holdsAnyOf(const std::vector<std::shared_ptr<Operation>>& operations) const {
  return std::any_of(entries.begin(), entries.end(), [&](const Entry& entry) {
    return std::find(operations.begin(), operations.end(), entry.operation) != operations.end();
  });
}

OperationQueue::OperationQueue() : state_(std::make_shared<State>()) {}

OperationQueue::~OperationQueue() {
  // The operations held outlive the queue object; a suspension would leave them waiting for ever.
  setSuspended(false);
}

void OperationQueue::addOperation(std::shared_ptr<Operation> operation) {
  const Operation::ObserverToken token =
      operation->addKeyObserver([state = state_](Operation&, std::string_view, KeyChange change) {
        if (change == KeyChange::kDid) {
          state->scheduleReconcile();
        }
      });
  {
    std::lock_guard lock(state_->mutex);
    state_->entries.push_back({std::move(operation), token, false});
  }
  state_->scheduleReconcile();
}

void OperationQueue::addOperations(const std::vector<std::shared_ptr<Operation>>& operations,
                                   WaitUntilFinished wait) {
  for (const auto& operation : operations) {
    addOperation(operation);
  }
  if (wait == WaitUntilFinished::kYes) {
    std::unique_lock lock(state_->mutex);
    state_->removed.wait(lock, [&] { return !state_->holdsAnyOf(operations); });
  }
}

std::vector<std::shared_ptr<Operation>> OperationQueue::operations() const {
  std::vector<std::shared_ptr<Operation>> held;
  {
    std::lock_guard lock(state_->mutex);
    for (const State::Entry& entry : state_->entries) {
      held.push_back(entry.operation);
    }
  }
  // Finished operations not yet taken out by the queue are left out, as if already gone.
  std::erase_if(held, [](const auto& operation) { return operation->isFinished(); });
  return held;
}

std::size_t OperationQueue::operationCount() const {
  return operations().size();
}

void OperationQueue::cancelAllOperations() {
  for (const auto& operation : operations()) {
    operation->cancel();
  }
}

void OperationQueue::waitUntilAllOperationsAreFinished() {
  waitUntilAllOperationsAreFinished(Duration::max());
}

bool OperationQueue::waitUntilAllOperationsAreFinished(Duration timeout) {
  std::unique_lock lock(state_->mutex);
  return state_->removed.wait_until(lock, deadlineAfter(timeout), [this] { return state_->entries.empty(); });
}

void OperationQueue::setSuspended(bool suspended) {
  {
    std::lock_guard lock(state_->mutex);
    state_->suspended = suspended;
  }
  state_->scheduleReconcile();
}

bool OperationQueue::isSuspended() const {
  std::lock_guard lock(state_->mutex);
  return state_->suspended;
}

std::ptrdiff_t OperationQueue::maxConcurrentOperationCount() const {
  std::lock_guard lock(state_->mutex);
  return state_->maxConcurrentOperationCount;
}

void OperationQueue::setMaxConcurrentOperationCount(std::ptrdiff_t count) {
  {
    std::lock_guard lock(state_->mutex);
    state_->maxConcurrentOperationCount = count;
  }
  state_->scheduleReconcile();
}

}  // namespace ns
