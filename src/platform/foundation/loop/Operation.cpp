#include "platform/foundation/loop/Operation.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/foundation/loop/DispatchQueue.h"

namespace ns {

Operation::~Operation() {
  for (const DependencyEntry& dependency : dependencies_) {
    dependency.operation->removeKeyObserver(dependency.token);
  }
}

void Operation::start() {
  if (!isCancelled() && !isReady()) {
    return;
  }
  {
    ns::MutexLock lock(mutex_);
    if (startClaimed_ || state_ != State::kReady) {
      return;
    }
    startClaimed_ = true;
  }
  if (isCancelled()) {
    changeState(State::kFinished);
    return;
  }
  changeState(State::kExecuting);
  main();
  changeState(State::kFinished);
}

void Operation::cancel() {
  {
    ns::MutexLock lock(mutex_);
    if (cancelClaimed_) {
      return;
    }
    cancelClaimed_ = true;
  }
  willChangeValueForKey(kIsCancelledKey);
  {
    ns::MutexLock lock(mutex_);
    cancelled_ = true;
  }
  didChangeValueForKey(kIsCancelledKey);
}

bool Operation::isCancelled() const {
  ns::MutexLock lock(mutex_);
  return cancelled_;
}

bool Operation::isReady() const {
  ns::MutexLock lock(mutex_);
  return cancelled_ || dependenciesSatisfied_;
}

bool Operation::isExecuting() const {
  ns::MutexLock lock(mutex_);
  return state_ == State::kExecuting;
}

bool Operation::isFinished() const {
  ns::MutexLock lock(mutex_);
  return state_ == State::kFinished;
}

void Operation::addDependency(std::shared_ptr<Operation> dependency) {
  std::weak_ptr<Object> weakSelf = weak_from_this();
  const ObserverToken token =
      dependency->addKeyObserver([weakSelf](Operation&, std::string_view key, KeyChange change) {
        if (change != KeyChange::kDid || key == kIsReadyKey) {
          return;
        }
        if (auto self = weakSelf.lock()) {
          std::static_pointer_cast<Operation>(self)->refreshDependencyReadiness();
        }
      });
  {
    ns::MutexLock lock(mutex_);
    dependencies_.push_back({std::move(dependency), token});
  }
  refreshDependencyReadiness();
}

void Operation::removeDependency(const std::shared_ptr<Operation>& dependency) {
  std::optional<DependencyEntry> removed;
  {
    ns::MutexLock lock(mutex_);
    auto found = std::find_if(dependencies_.begin(), dependencies_.end(),
                              [&](const DependencyEntry& entry) { return entry.operation == dependency; });
    if (found == dependencies_.end()) {
      return;
    }
    removed = std::move(*found);
    dependencies_.erase(found);
  }
  removed->operation->removeKeyObserver(removed->token);
  refreshDependencyReadiness();
}

std::vector<std::shared_ptr<Operation>> Operation::dependencies() const {
  ns::MutexLock lock(mutex_);
  std::vector<std::shared_ptr<Operation>> result;
  result.reserve(dependencies_.size());
  for (const DependencyEntry& entry : dependencies_) {
    result.push_back(entry.operation);
  }
  return result;
}

void Operation::setCompletionBlock(Task block) {
  ns::MutexLock lock(mutex_);
  completionBlock_ = std::move(block);
}

Task Operation::completionBlock() const {
  ns::MutexLock lock(mutex_);
  return completionBlock_;
}

Operation::ObserverToken Operation::addKeyObserver(KeyObserver observer) {
  ns::MutexLock lock(mutex_);
  auto observers = observers_ ? std::make_shared<std::vector<ObserverEntry>>(*observers_)
                              : std::make_shared<std::vector<ObserverEntry>>();
  const ObserverToken token = nextToken_++;
  observers->push_back({token, std::move(observer)});
  observers_ = std::move(observers);
  return token;
}

void Operation::removeKeyObserver(ObserverToken token) {
  ns::MutexLock lock(mutex_);
  if (!observers_) {
    return;
  }
  auto observers = std::make_shared<std::vector<ObserverEntry>>(*observers_);
  std::erase_if(*observers, [token](const ObserverEntry& entry) { return entry.token == token; });
  observers_ = std::move(observers);
}

void Operation::willChangeValueForKey(std::string_view key) {
  announce(key, KeyChange::kWill);
}

void Operation::didChangeValueForKey(std::string_view key) {
  announce(key, KeyChange::kDid);
  if (key == kIsFinishedKey) {
    runCompletionBlockOnce();
  }
}

// Announces the new state's key before the old one's, and takes them back in the opposite order.
void Operation::changeState(State to) {
  State from;
  {
    ns::MutexLock lock(mutex_);
    from = state_;
  }
  // Readiness does not depend on the state, so leaving the ready state changes no key of its own.
  const auto keyOf = [](State state) {
    return state == State::kExecuting ? kIsExecutingKey : kIsFinishedKey;
  };
  const bool fromReady = from == State::kReady;
  willChangeValueForKey(keyOf(to));
  if (!fromReady) {
    willChangeValueForKey(keyOf(from));
  }
  {
    ns::MutexLock lock(mutex_);
    state_ = to;
  }
  if (!fromReady) {
    didChangeValueForKey(keyOf(from));
  }
  didChangeValueForKey(keyOf(to));
}

void Operation::announce(std::string_view key, KeyChange change) {
  std::shared_ptr<const std::vector<ObserverEntry>> observers;
  {
    ns::MutexLock lock(mutex_);
    observers = observers_;
  }
  if (!observers) {
    return;
  }
  for (const ObserverEntry& entry : *observers) {
    entry.observer(*this, key, change);
  }
}

void Operation::refreshDependencyReadiness() {
  const std::vector<std::shared_ptr<Operation>> current = dependencies();
  const bool satisfied = std::all_of(current.begin(), current.end(),
                                     [](const auto& dependency) { return dependencySatisfied(*dependency); });
  {
    ns::MutexLock lock(mutex_);
    if (dependenciesSatisfied_ == satisfied) {
      return;
    }
  }
  willChangeValueForKey(kIsReadyKey);
  {
    ns::MutexLock lock(mutex_);
    dependenciesSatisfied_ = satisfied;
  }
  didChangeValueForKey(kIsReadyKey);
}

void Operation::runCompletionBlockOnce() {
  if (!isFinished()) {
    return;
  }
  Task block;
  {
    ns::MutexLock lock(mutex_);
    if (completionHandled_) {
      return;
    }
    completionHandled_ = true;
    // Letting go of the block ends any hold it has on this operation.
    block = std::exchange(completionBlock_, nullptr);
  }
  if (block) {
    dispatchCompletionBlock(std::move(block));
  }
}

void Operation::dispatchCompletionBlock(Task block) {
  DispatchQueue::global().async([self = weak_from_this().lock(), block = std::move(block)] { block(); });
}

bool Operation::dependencySatisfied(const Operation& dependency) {
  return dependency.isFinished() || (dependency.isCancelled() && !dependency.isExecuting());
}

}  // namespace ns
