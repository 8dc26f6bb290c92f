#include "platform/foundation/notify/KeyValueObservable.h"

#include <utility>

namespace ns {

KeyValueObservable::KeyValueObservable() : observers_(std::make_shared<KeyValueObserverList>()) {}

KeyValueObservable::~KeyValueObservable() = default;

KeyValueObservation KeyValueObservable::observe(std::string key, Callback callback) {
  return KeyValueObservation(observers_, observers_->add(std::move(key), std::move(callback)));
}

Value KeyValueObservable::valueForKey(std::string_view) const {
  return Value();
}

void KeyValueObservable::willChangeValueForKey(std::string_view key) {
  if (observers_->hasObservers(key)) {
    observers_->rememberOldValue(key, valueForKey(key));
  }
}

void KeyValueObservable::didChangeValueForKey(std::string_view key) {
  std::optional<Value> oldValue = observers_->takeOldValue(key);
  if (observers_->hasObservers(key)) {
    didChangeValueForKey(key, oldValue.value_or(Value()), valueForKey(key));
  }
}

void KeyValueObservable::didChangeValueForKey(std::string_view key, const Value& oldValue,
                                              const Value& newValue) {
  // The list is held for the whole announcement: an observer may release the last reference to this object.
  const std::shared_ptr<KeyValueObserverList> observers = observers_;
  if (observers->hasObservers(key)) {
    observers->announce(KeyValueChange{std::string(key), oldValue, newValue});
  }
}

}  // namespace ns
