#pragma once

// ns::KeyValueObserverList: the observers of one KeyValueObservable, shared with the observations that name
// them so that either side may go first. An implementation detail of KeyValueObservable and
// KeyValueObservation; other code uses those.
//
// Thread-safety: every method may be called from any thread. Callbacks run outside the list's lock, so they
// may add and remove observers.

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/notify/KeyValueChange.h"

namespace ns {

class KeyValueObserverList {
 public:
  using Callback = std::function<void(const KeyValueChange&)>;

  struct Observer {
    std::string key;
    Callback callback;
    std::atomic<bool> removed{false};
  };

  // Adds an observer of `key`. Returns it; the list shares it until remove().
  std::shared_ptr<Observer> add(std::string key, Callback callback);
  // Removes `observer`; it is never called again, even by a change already being announced.
  void remove(const std::shared_ptr<Observer>& observer);

  // True when some observer watches `key`. Lock-free when nothing is observed at all, so that setters of
  // unobserved objects stay cheap.
  bool hasObservers(std::string_view key) const;

  // Remembers `oldValue` for the calling thread's change of `key` until takeOldValue(). Pairs nest.
  void rememberOldValue(std::string_view key, Value oldValue);
  // Returns and forgets the value the calling thread remembered last for `key`, or std::nullopt. Lock-free
  // when nothing is remembered.
  std::optional<Value> takeOldValue(std::string_view key);

  // Calls every observer of `change.key`, on the calling thread, in the order they were added.
  void announce(const KeyValueChange& change) const;

 private:
  struct PendingChange {
    std::thread::id thread;
    std::string key;
    Value oldValue;
  };

  mutable ns::Mutex mutex_;
  std::vector<std::shared_ptr<Observer>> observers_ QM_GUARDED_BY(mutex_);
  std::vector<PendingChange> pendingChanges_ QM_GUARDED_BY(mutex_);
  std::atomic<std::size_t> observerCount_{0};  // observers_.size(), readable without the lock
  std::atomic<std::size_t> pendingCount_{0};   // pendingChanges_.size(), readable without the lock
};

}  // namespace ns
