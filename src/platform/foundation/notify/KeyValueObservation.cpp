#include "platform/foundation/notify/KeyValueObservation.h"

#include <utility>

#include "platform/foundation/check/Check.h"

namespace ns {

KeyValueObservation::KeyValueObservation(std::weak_ptr<KeyValueObserverList> list,
                                         std::shared_ptr<KeyValueObserverList::Observer> observer)
    : list_(std::move(list)), observer_(std::move(observer)) {}

KeyValueObservation::~KeyValueObservation() {
  invalidate();
}

KeyValueObservation& KeyValueObservation::operator=(KeyValueObservation&& other) noexcept {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  if (this != &other) {
    invalidate();
    list_ = std::move(other.list_);
    observer_ = std::move(other.observer_);
  }
  return *this;
}

void KeyValueObservation::invalidate() {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  if (observer_ == nullptr) {
    return;
  }
  if (std::shared_ptr<KeyValueObserverList> list = list_.lock()) {
    list->remove(observer_);
  }
  observer_.reset();
  list_.reset();
}

}  // namespace ns
