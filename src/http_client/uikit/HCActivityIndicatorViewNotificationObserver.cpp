#include "http_client/uikit/HCActivityIndicatorViewNotificationObserver.h"

namespace http_client {

namespace {

// The key under which the observer is kept on its indicator.
const char kObserverKey = 0;

}  // namespace

HCActivityIndicatorViewNotificationObserver& HCActivityIndicatorViewNotificationObserver::of(
    uikit::ActivityIndicatorView& view) {
  std::shared_ptr<void> kept = view.associatedObject(&kObserverKey);
  if (!kept) {
    kept = std::make_shared<HCActivityIndicatorViewNotificationObserver>(
        std::static_pointer_cast<uikit::ActivityIndicatorView>(view.shared_from_this()));
    view.setAssociatedObject(&kObserverKey, kept);
  }
  return *static_cast<HCActivityIndicatorViewNotificationObserver*>(kept.get());
}

HCActivityIndicatorViewNotificationObserver::HCActivityIndicatorViewNotificationObserver(
    std::weak_ptr<uikit::ActivityIndicatorView> view)
    : follower_(
          [view] {
            if (const auto indicator = view.lock()) {
              indicator->startAnimating();
            }
          },
          [view] {
            if (const auto indicator = view.lock()) {
              indicator->stopAnimating();
            }
          },
          HCRequestStateFollower::TaskPolicy::kListenUnlessCompleted) {}

void HCActivityIndicatorViewNotificationObserver::setAnimatingWithStateOfTask(
    const std::shared_ptr<ns::URLSessionTask>& task) {
  follower_.followTask(task);
}

void HCActivityIndicatorViewNotificationObserver::setAnimatingWithStateOfOperation(
    const std::shared_ptr<HCURLConnectionOperation>& operation) {
  follower_.followOperation(operation);
}

}  // namespace http_client
