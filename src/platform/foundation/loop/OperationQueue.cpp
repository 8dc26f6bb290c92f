#include "platform/foundation/loop/OperationQueue.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <set>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/Deadline.h"
#include "platform/foundation/loop/DispatchQueue.h"

namespace ns {

// The queue's bookkeeping. Its operations' observers hold it, so it lives until the last of them finishes.
//
// Operations are started by passes, one at a time per queue: a pass asks the waiting operations whether they
// are ready without holding the mutex, claims as many as the limit allows in the order added, and starts
// them. The thread that adds an operation (or lifts the suspension or the limit) runs the pass itself, so a
// concurrent operation starts without a thread hop. A change announced by an operation only queues a pass
// on the global dispatch queue: the announcing thread may hold the operation's own locks, and starting
// another operation there could take locks in the opposite order to some other thread. The observer takes a
// finished operation out itself, on the announcing thread, since that touches nothing but the queue's own
// bookkeeping.
struct OperationQueue::State : std::enable_shared_from_this<OperationQueue::State> {
  using EntryId = std::uint64_t;
  struct Entry {
    std::shared_ptr<Operation> operation;
    Operation::ObserverToken token;
  };
  // Where a pass runs: on the thread that asks for it, or on the global dispatch queue.
  enum class PassThread { kCaller, kGlobalQueue };

  void operationDidChange(EntryId id, Operation& operation, std::string_view key);
  // Lets go of the entry; once the limit leaves room for a waiting operation, asks for a pass.
  void takeOut(EntryId id);
  void requestPass(PassThread thread);
  void runPasses();
  std::vector<std::shared_ptr<Operation>> claimReadyOperations();
  bool holdsAnyOf(const std::vector<std::shared_ptr<Operation>>& operations) const QM_REQUIRES(mutex);

  mutable Mutex mutex;
  std::condition_variable removed;                        // notified whenever an entry is taken out
  std::map<EntryId, Entry> entries QM_GUARDED_BY(mutex);  // ids grow, so this is the order added
  // Entries not yet started, kept apart so that a pass need not scan.
  std::set<EntryId> waiting QM_GUARDED_BY(mutex);
  EntryId nextId QM_GUARDED_BY(mutex) = 1;
  std::size_t running QM_GUARDED_BY(mutex) = 0;  // started and not yet finished
  bool suspended QM_GUARDED_BY(mutex) = false;
  std::ptrdiff_t maxConcurrentOperationCount QM_GUARDED_BY(mutex) = kDefaultMaxConcurrentOperationCount;
  bool passRunning QM_GUARDED_BY(mutex) = false;
  bool passAgain QM_GUARDED_BY(mutex) = false;
};

void OperationQueue::State::operationDidChange(EntryId id, Operation& operation, std::string_view key) {
  if (key == kIsFinishedKey && operation.isFinished()) {
    takeOut(id);
    return;
  }
  // Any other change may make a waiting operation ready: a dependency finished, a cancellation, or a state
  // of a subclass's own. Changes of operations already started concern the queue only once they finish.
  bool isWaiting = false;
  {
    MutexLock lock(mutex);
    isWaiting = waiting.contains(id);
  }
  if (isWaiting) {
    requestPass(PassThread::kGlobalQueue);
  }
}

void OperationQueue::State::takeOut(EntryId id) {
  std::optional<Entry> entry;
  bool roomForWaiting = false;
  {
    MutexLock lock(mutex);
    const auto found = entries.find(id);
    if (found == entries.end()) {
      return;
    }
    entry = std::move(found->second);
    entries.erase(found);
    if (waiting.erase(id) == 0) {
      --running;
      roomForWaiting = !waiting.empty() && maxConcurrentOperationCount >= 0 && !suspended;
    }
  }
  removed.notify_all();
  entry->operation->removeKeyObserver(entry->token);
  if (roomForWaiting) {
    requestPass(PassThread::kGlobalQueue);
  }
}

void OperationQueue::State::requestPass(PassThread thread) {
  {
    MutexLock lock(mutex);
    if (passRunning) {
      passAgain = true;
      return;
    }
    passRunning = true;
  }
  if (thread == PassThread::kCaller) {
    runPasses();
  } else {
    DispatchQueue::global().async([self = shared_from_this()] { self->runPasses(); });
  }
}

void OperationQueue::State::runPasses() {
  for (;;) {
    for (auto& operation : claimReadyOperations()) {
      // A concurrent operation's start() only begins its work, so it runs here; a plain one runs its whole
      // work in start(), which must never hold up the thread that added it.
      if (operation->isConcurrent()) {
        operation->start();
      } else {
        DispatchQueue::global().async([operation = std::move(operation)] { operation->start(); });
      }
    }
    MutexLock lock(mutex);
    if (!passAgain) {
      passRunning = false;
      return;
    }
    passAgain = false;
  }
}

std::vector<std::shared_ptr<Operation>> OperationQueue::State::claimReadyOperations() {
  std::size_t capacity = 0;
  std::vector<std::pair<EntryId, std::shared_ptr<Operation>>> candidates;
  {
    MutexLock lock(mutex);
    if (!suspended) {
      capacity = maxConcurrentOperationCount < 0
                     ? std::numeric_limits<std::size_t>::max()
                     : static_cast<std::size_t>(std::max<std::ptrdiff_t>(
                           0, maxConcurrentOperationCount - static_cast<std::ptrdiff_t>(running)));
    }
    for (const EntryId id : waiting) {
      candidates.emplace_back(id, entries.at(id).operation);
    }
  }
  std::vector<EntryId> finished;
  std::vector<std::pair<EntryId, std::shared_ptr<Operation>>> ready;
  for (auto& candidate : candidates) {
    // An operation added once it had finished never announces it again.
    if (candidate.second->isFinished()) {
      finished.push_back(candidate.first);
    } else if (ready.size() < capacity && candidate.second->isReady()) {
      ready.push_back(std::move(candidate));
    }
  }
  for (const EntryId id : finished) {
    takeOut(id);
  }
  std::vector<std::shared_ptr<Operation>> claimed;
  MutexLock lock(mutex);
  for (auto& [id, operation] : ready) {
    // Passes never overlap, so only the entry's own end can have taken it out meanwhile.
    if (waiting.erase(id) > 0) {
      ++running;
      claimed.push_back(std::move(operation));
    }
  }
  return claimed;
}

bool OperationQueue::State::holdsAnyOf(const std::vector<std::shared_ptr<Operation>>& operations) const {
  return std::any_of(entries.begin(), entries.end(), [&](const auto& held) {
    return std::find(operations.begin(), operations.end(), held.second.operation) != operations.end();
  });
}

OperationQueue::OperationQueue() : state_(std::make_shared<State>()) {}

OperationQueue::~OperationQueue() {
  // The operations held outlive the queue object; a suspension would leave them waiting for ever.
  setSuspended(false);
}

void OperationQueue::addOperation(std::shared_ptr<Operation> operation) {
  State::EntryId id = 0;
  {
    MutexLock lock(state_->mutex);
    id = state_->nextId++;
  }
  const Operation::ObserverToken token = operation->addKeyObserver(
      [state = state_, id](Operation& changed, std::string_view key, KeyChange change) {
        if (change == KeyChange::kDid) {
          state->operationDidChange(id, changed, key);
        }
      });
  {
    MutexLock lock(state_->mutex);
    state_->entries.emplace(id, State::Entry{std::move(operation), token});
    state_->waiting.insert(id);
  }
  state_->requestPass(State::PassThread::kCaller);
}

void OperationQueue::addOperations(const std::vector<std::shared_ptr<Operation>>& operations,
                                   WaitUntilFinished wait) {
  for (const auto& operation : operations) {
    addOperation(operation);
  }
  if (wait == WaitUntilFinished::kYes) {
    MutexLock lock(state_->mutex);
    while (state_->holdsAnyOf(operations)) {
      lock.wait(state_->removed);
    }
  }
}

std::vector<std::shared_ptr<Operation>> OperationQueue::operations() const {
  std::vector<std::shared_ptr<Operation>> held;
  {
    MutexLock lock(state_->mutex);
    for (const auto& [id, entry] : state_->entries) {
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
  const TimePoint deadline = deadlineAfter(timeout);
  MutexLock lock(state_->mutex);
  while (!state_->entries.empty()) {
    if (lock.waitUntil(state_->removed, deadline) == std::cv_status::timeout) {
      return state_->entries.empty();
    }
  }
  return true;
}

void OperationQueue::setSuspended(bool suspended) {
  {
    MutexLock lock(state_->mutex);
    state_->suspended = suspended;
  }
  if (!suspended) {
    state_->requestPass(State::PassThread::kCaller);
  }
}

bool OperationQueue::isSuspended() const {
  MutexLock lock(state_->mutex);
  return state_->suspended;
}

std::ptrdiff_t OperationQueue::maxConcurrentOperationCount() const {
  MutexLock lock(state_->mutex);
  return state_->maxConcurrentOperationCount;
}

void OperationQueue::setMaxConcurrentOperationCount(std::ptrdiff_t count) {
  QM_DCHECK(count > 0 || count == kDefaultMaxConcurrentOperationCount,
            "count > 0, or kDefaultMaxConcurrentOperationCount");
  {
    MutexLock lock(state_->mutex);
    state_->maxConcurrentOperationCount = count;
  }
  state_->requestPass(State::PassThread::kCaller);
}

}  // namespace ns
