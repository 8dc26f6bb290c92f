#include "platform/foundation/notify/KeyValueObserverList.h"

#include <algorithm>
#include <utility>

namespace ns {

std::shared_ptr<KeyValueObserverList::Observer> KeyValueObserverList::add(std::string key,
                                                                          Callback callback) {
  auto observer = std::make_shared<Observer>();
  observer->key = std::move(key);
  observer->callback = std::move(callback);
  ns::MutexLock lock(mutex_);
  observers_.push_back(observer);
  observerCount_.store(observers_.size());
  return observer;
}

void KeyValueObserverList::remove(const std::shared_ptr<Observer>& observer) {
  observer->removed.store(true);
  ns::MutexLock lock(mutex_);
  std::erase(observers_, observer);
  observerCount_.store(observers_.size());
}

bool KeyValueObserverList::hasObservers(std::string_view key) const {
  if (observerCount_.load() == 0) {
    return false;
  }
  ns::MutexLock lock(mutex_);
  return std::any_of(observers_.begin(), observers_.end(),
                     [&](const std::shared_ptr<Observer>& observer) { return observer->key == key; });
}

void KeyValueObserverList::rememberOldValue(std::string_view key, Value oldValue) {
  ns::MutexLock lock(mutex_);
  pendingChanges_.push_back(PendingChange{std::this_thread::get_id(), std::string(key), std::move(oldValue)});
  pendingCount_.store(pendingChanges_.size());
}

std::optional<Value> KeyValueObserverList::takeOldValue(std::string_view key) {
  if (pendingCount_.load() == 0) {
    return std::nullopt;
  }
  ns::MutexLock lock(mutex_);
  const auto latest =
      std::find_if(pendingChanges_.rbegin(), pendingChanges_.rend(), [&](const PendingChange& change) {
        return change.thread == std::this_thread::get_id() && change.key == key;
      });
  if (latest == pendingChanges_.rend()) {
    return std::nullopt;
  }
  Value oldValue = std::move(latest->oldValue);
  pendingChanges_.erase(std::next(latest).base());
  pendingCount_.store(pendingChanges_.size());
  return oldValue;
}

void KeyValueObserverList::announce(const KeyValueChange& change) const {
  std::vector<std::shared_ptr<Observer>> observers;
  {
    ns::MutexLock lock(mutex_);
    for (const std::shared_ptr<Observer>& observer : observers_) {
      if (observer->key == change.key) {
        observers.push_back(observer);
      }
    }
  }
  for (const std::shared_ptr<Observer>& observer : observers) {
    if (!observer->removed.load()) {
      observer->callback(change);
    }
  }
}

}  // namespace ns
