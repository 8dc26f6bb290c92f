#include "http_client/uikit/HCRefreshControlNotificationObserver.h"

namespace http_client {

namespace {

// The key under which the observer is kept on its control.
const char kObserverKey = 0;

}  // namespace

HCRefreshControlNotificationObserver& HCRefreshControlNotificationObserver::of(
    uikit::RefreshControl& control) {
  std::shared_ptr<void> kept = control.associatedObject(&kObserverKey);
  if (!kept) {
    kept = std::make_shared<HCRefreshControlNotificationObserver>(
        std::static_pointer_cast<uikit::RefreshControl>(control.shared_from_this()));
    control.setAssociatedObject(&kObserverKey, kept);
  }
  return *static_cast<HCRefreshControlNotificationObserver*>(kept.get());
}

HCRefreshControlNotificationObserver::HCRefreshControlNotificationObserver(
    std::weak_ptr<uikit::RefreshControl> control)
    : follower_(
          [control] {
            if (const auto shown = control.lock()) {
              shown->beginRefreshing();
            }
          },
          [control] {
            if (const auto shown = control.lock()) {
              shown->endRefreshing();
            }
          },
          HCRequestStateFollower::TaskPolicy::kListenOnlyWhileRunning) {}

void HCRefreshControlNotificationObserver::setRefreshingWithStateOfTask(
    const std::shared_ptr<ns::URLSessionTask>& task) {
  follower_.followTask(task);
}

void HCRefreshControlNotificationObserver::setRefreshingWithStateOfOperation(
    const std::shared_ptr<HCURLConnectionOperation>& operation) {
  follower_.followOperation(operation);
}

}  // namespace http_client
