#include "platform/uikit/app/BackgroundTasks.h"

#include <utility>

namespace uikit {

BackgroundTaskIdentifier BackgroundTasks::begin(std::function<void()> expirationHandler) {
  ns::MutexLock lock(mutex_);
  const BackgroundTaskIdentifier identifier = nextIdentifier_++;
  handlers_.emplace(identifier, std::move(expirationHandler));
  return identifier;
}

void BackgroundTasks::end(BackgroundTaskIdentifier identifier) {
  ns::MutexLock lock(mutex_);
  handlers_.erase(identifier);
}

std::size_t BackgroundTasks::count() const {
  ns::MutexLock lock(mutex_);
  return handlers_.size();
}

void BackgroundTasks::expireAll() {
  std::map<BackgroundTaskIdentifier, std::function<void()>> expired;
  {
    ns::MutexLock lock(mutex_);
    expired.swap(handlers_);
  }
  for (auto& [identifier, handler] : expired) {
    if (handler) {
      handler();
    }
  }
}

void BackgroundTasks::clear() {
  ns::MutexLock lock(mutex_);
  handlers_.clear();
}

}  // namespace uikit
