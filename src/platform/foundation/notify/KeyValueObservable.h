#pragma once

// ns::KeyValueObservable: a mixin that lets others watch named properties of an object and be told of every
// change with the old and the new value. A class mixes it in beside ns::Object, answers valueForKey() for
// its observable properties, and announces each change from its setters, either around the store
// (willChangeValueForKey(), store, didChangeValueForKey()) or after it with both values at hand
// (didChangeValueForKey(key, old, new)). Every set is announced, also one that stores an equal value.
//
// Announcing costs one atomic load while nobody observes the object, so setters of the many unobserved
// objects of a store stay cheap.
//
// Thread-safety: every method may be called from any thread. Observers are called on the thread that changed
// the value, before the setter returns, in the order they were registered; they may observe and stop
// observing (themselves included) from inside a callback, and an observer removed during an announcement is
// not called later in it. Will/did pairs nest and are matched per thread and key.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/notify/KeyValueChange.h"
#include "platform/foundation/notify/KeyValueObservation.h"
#include "platform/foundation/notify/KeyValueObserverList.h"

namespace ns {

class KeyValueObservable {
 public:
  using Callback = std::function<void(const KeyValueChange&)>;

  KeyValueObservable(const KeyValueObservable&) = delete;
  KeyValueObservable& operator=(const KeyValueObservable&) = delete;

  // Calls `callback` on every announced change of `key` until the returned observation is destroyed or
  // invalidated. The observable does not own the observer: a callback that captures its owner should capture
  // it weakly or be cancelled by the owner's destructor, which destroys the observation.
  [[nodiscard]] KeyValueObservation observe(std::string key, Callback callback);

  // Returns the current value of the property `key`; null for a key the object does not answer.
  // willChangeValueForKey() and didChangeValueForKey(key) read it.
  virtual Value valueForKey(std::string_view key) const;

  // Remembers valueForKey(key) as the old value of the change that didChangeValueForKey(key) announces.
  void willChangeValueForKey(std::string_view key);
  // Announces the change of `key` with the old value remembered by the matching willChangeValueForKey()
  // (null when there was none) and valueForKey(key) as the new value.
  void didChangeValueForKey(std::string_view key);
  // Announces a change of `key` from `oldValue` to `newValue`, without a will/did pair.
  void didChangeValueForKey(std::string_view key, const Value& oldValue, const Value& newValue);

 protected:
  KeyValueObservable();
  virtual ~KeyValueObservable();

 private:
  // Constant after construction. Shared with the observations, which may outlive this object.
  const std::shared_ptr<KeyValueObserverList> observers_;
};

}  // namespace ns
