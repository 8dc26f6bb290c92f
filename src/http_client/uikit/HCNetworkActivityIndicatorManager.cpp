#include "http_client/uikit/HCNetworkActivityIndicatorManager.h"

#include <algorithm>

#include "http_client/HCURLConnectionOperation.h"
#include "http_client/HCURLSessionManager.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/URLSessionTask.h"
#include "platform/uikit/app/Application.h"

namespace http_client {

namespace {

// True when `object` is a request with a URL: an operation's request or a task's original request.
bool isRequestWithURL(const std::shared_ptr<ns::Object>& object) {
  if (const auto operation = ns::objectAs<HCURLConnectionOperation>(object)) {
    return operation->request().url().has_value();
  }
  if (const auto task = ns::objectAs<ns::URLSessionTask>(object)) {
    return task->originalRequest().url().has_value();
  }
  return false;
}

}  // namespace

const std::shared_ptr<HCNetworkActivityIndicatorManager>& HCNetworkActivityIndicatorManager::sharedManager() {
  static const std::shared_ptr<HCNetworkActivityIndicatorManager> manager = create();
  return manager;
}

std::shared_ptr<HCNetworkActivityIndicatorManager> HCNetworkActivityIndicatorManager::create() {
  auto manager = std::make_shared<HCNetworkActivityIndicatorManager>(Passkey{});
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  // The blocks hold the manager weakly: a notification on another thread may still be delivered while the
  // manager goes.
  const std::weak_ptr<HCNetworkActivityIndicatorManager> weakManager = manager;
  auto onStart = [weakManager](const ns::Notification& notification) {
    if (const auto strongManager = weakManager.lock()) {
      strongManager->requestDidStart(notification);
    }
  };
  auto onFinish = [weakManager](const ns::Notification& notification) {
    if (const auto strongManager = weakManager.lock()) {
      strongManager->requestDidFinish(notification);
    }
  };
  for (const char* name :
       {kHCNetworkingOperationDidStartNotification, kHCNetworkingTaskDidResumeNotification}) {
    manager->tokens_.push_back(center.addObserverForName(name, nullptr, nullptr, onStart));
  }
  for (const char* name :
       {kHCNetworkingOperationDidFinishNotification, kHCNetworkingTaskDidSuspendNotification,
        kHCNetworkingTaskDidCompleteNotification}) {
    manager->tokens_.push_back(center.addObserverForName(name, nullptr, nullptr, onFinish));
  }
  return manager;
}

HCNetworkActivityIndicatorManager::~HCNetworkActivityIndicatorManager() {
  for (const ns::NotificationCenter::ObserverToken& token : tokens_) {
    ns::NotificationCenter::defaultCenter().removeObserver(token);
  }
  if (visibilityTimer_) {
    visibilityTimer_->invalidate();
  }
}

bool HCNetworkActivityIndicatorManager::isEnabled() const {
  ns::MutexLock lock(mutex_);
  return enabled_;
}

void HCNetworkActivityIndicatorManager::setEnabled(bool enabled) {
  ns::MutexLock lock(mutex_);
  enabled_ = enabled;
}

std::int64_t HCNetworkActivityIndicatorManager::activityCountLocked() const {
  std::int64_t count = ownCount_;
  for (const auto& [address, request] : requests_) {
    count += request.expired() ? 0 : 1;
  }
  return count;
}

std::int64_t HCNetworkActivityIndicatorManager::activityCount() const {
  ns::MutexLock lock(mutex_);
  return activityCountLocked();
}

void HCNetworkActivityIndicatorManager::incrementActivityCount() {
  changeCount(Change::kIncrement, nullptr);
}

void HCNetworkActivityIndicatorManager::decrementActivityCount() {
  changeCount(Change::kDecrement, nullptr);
}

void HCNetworkActivityIndicatorManager::requestDidStart(const ns::Notification& notification) {
  if (isRequestWithURL(notification.object)) {
    changeCount(Change::kRequestStarted, notification.object);
  }
}

void HCNetworkActivityIndicatorManager::requestDidFinish(const ns::Notification& notification) {
  if (isRequestWithURL(notification.object)) {
    changeCount(Change::kRequestFinished, notification.object);
  }
}

void HCNetworkActivityIndicatorManager::changeCount(Change change,
                                                    const std::shared_ptr<ns::Object>& request) {
  std::int64_t before = 0;
  std::int64_t after = 0;
  {
    ns::MutexLock lock(mutex_);
    before = activityCountLocked();
    std::erase_if(requests_, [](const auto& entry) { return entry.second.expired(); });
    switch (change) {
      case Change::kIncrement:
        ++ownCount_;
        break;
      case Change::kDecrement:
        ownCount_ = std::max<std::int64_t>(0, ownCount_ - 1);
        break;
      case Change::kRequestStarted:
        requests_.emplace(request.get(), request);
        break;
      case Change::kRequestFinished:
        requests_.erase(request.get());
        break;
    }
    after = activityCountLocked();
  }
  didChangeValueForKey("activityCount", ns::Value(before), ns::Value(after));
  didChangeValueForKey("networkActivityIndicatorVisible", ns::Value(before > 0), ns::Value(after > 0));
  std::weak_ptr<HCNetworkActivityIndicatorManager> weakSelf =
      std::static_pointer_cast<HCNetworkActivityIndicatorManager>(shared_from_this());
  ns::DispatchQueue::main().async([weakSelf] {
    if (const auto self = weakSelf.lock()) {
      self->updateIndicatorVisibility();
    }
  });
}

void HCNetworkActivityIndicatorManager::updateIndicatorVisibility() {
  if (!isEnabled()) {
    return;
  }
  if (isNetworkActivityIndicatorVisible()) {
    uikit::Application::sharedApplication().setNetworkActivityIndicatorVisible(true);
    return;
  }
  if (visibilityTimer_) {
    visibilityTimer_->invalidate();
  }
  std::weak_ptr<HCNetworkActivityIndicatorManager> weakSelf =
      std::static_pointer_cast<HCNetworkActivityIndicatorManager>(shared_from_this());
  visibilityTimer_ = ns::Timer::scheduled(
      ns::RunLoop::main(), kInvisibilityDelay, ns::Timer::Repeats::kNo, [weakSelf](ns::Timer&) {
        if (const auto self = weakSelf.lock()) {
          uikit::Application::sharedApplication().setNetworkActivityIndicatorVisible(
              self->isNetworkActivityIndicatorVisible());
        }
      });
}

ns::Value HCNetworkActivityIndicatorManager::valueForKey(std::string_view key) const {
  if (key == "activityCount") {
    return activityCount();
  }
  if (key == "networkActivityIndicatorVisible") {
    return isNetworkActivityIndicatorVisible();
  }
  return KeyValueObservable::valueForKey(key);
}

}  // namespace http_client
