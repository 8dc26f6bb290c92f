#pragma once

// ns::KeyValueObservation: the registration that KeyValueObservable::observe() returns. The observer stays
// registered while the observation lives; destroying it, or calling invalidate(), removes the observer at
// once, also from inside its own callback. It may outlive the observed object, in which case it does
// nothing. Movable, not copyable.
//
// Thread-safety: one observation must not be used from two threads at once; distinct observations may.

#include <memory>

#include "platform/foundation/check/OneThreadAtATimeChecker.h"
#include "platform/foundation/notify/KeyValueObserverList.h"

namespace ns {

class KeyValueObservation {
 public:
  // An observation of nothing.
  KeyValueObservation() = default;
  KeyValueObservation(std::weak_ptr<KeyValueObserverList> list,
                      std::shared_ptr<KeyValueObserverList::Observer> observer);
  ~KeyValueObservation();

  KeyValueObservation(KeyValueObservation&& other) noexcept = default;
  KeyValueObservation& operator=(KeyValueObservation&& other) noexcept;
  KeyValueObservation(const KeyValueObservation&) = delete;
  KeyValueObservation& operator=(const KeyValueObservation&) = delete;

  // Removes the observer; afterwards the observation observes nothing. Safe to call more than once.
  void invalidate();

 private:
  std::weak_ptr<KeyValueObserverList> list_;
  std::shared_ptr<KeyValueObserverList::Observer> observer_;
  OneThreadAtATimeChecker useChecker_;
};

}  // namespace ns
