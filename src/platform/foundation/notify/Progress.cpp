#include "platform/foundation/notify/Progress.h"

namespace ns {

void Progress::setTotalUnitCount(std::int64_t count) {
  const std::int64_t old = total_.exchange(count);
  didChangeValueForKey("totalUnitCount", Value(old), Value(count));
}

void Progress::setCompletedUnitCount(std::int64_t count) {
  const std::int64_t old = completed_.exchange(count);
  didChangeValueForKey("completedUnitCount", Value(old), Value(count));
}

double Progress::fractionCompleted() const {
  const std::int64_t total = total_;
  return total > 0 ? static_cast<double>(completed_) / static_cast<double>(total) : 0.0;
}

void Progress::setPausingHandler(std::function<void()> handler) {
  MutexLock lock(mutex_);
  pausingHandler_ = std::move(handler);
}

void Progress::setCancellationHandler(std::function<void()> handler) {
  MutexLock lock(mutex_);
  cancellationHandler_ = std::move(handler);
}

void Progress::pause() {
  std::function<void()> handler;
  {
    MutexLock lock(mutex_);
    handler = pausingHandler_;
  }
  if (handler) {
    handler();
  }
}

void Progress::cancel() {
  std::function<void()> handler;
  {
    MutexLock lock(mutex_);
    handler = cancellationHandler_;
  }
  if (handler) {
    handler();
  }
}

Value Progress::valueForKey(std::string_view key) const {
  if (key == "totalUnitCount") {
    return total_.load();
  }
  if (key == "completedUnitCount") {
    return completed_.load();
  }
  return KeyValueObservable::valueForKey(key);
}

}  // namespace ns
