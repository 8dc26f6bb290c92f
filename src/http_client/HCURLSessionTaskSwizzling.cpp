#include "http_client/HCURLSessionTaskSwizzling.h"

#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/net/URLSessionTask.h"

namespace http_client {

void HCURLSessionTaskSwizzling::install() {
  static const bool installed = [] {
    ns::URLSessionTask::setTransitionHook(
        [](const std::shared_ptr<ns::URLSessionTask>& task, ns::URLSessionTask::Transition transition) {
          ns::NotificationCenter::defaultCenter().postNotificationName(
              transition == ns::URLSessionTask::Transition::kResumed
                  ? kHCNetworkingURLSessionTaskDidResumeNotification
                  : kHCNetworkingURLSessionTaskDidSuspendNotification,
              task);
        });
    return true;
  }();
  static_cast<void>(installed);
}

namespace {

// Installed while the program loads, before anything else runs, as the platform's class-load hook is.
const bool installedAtLoad = (HCURLSessionTaskSwizzling::install(), true);

}  // namespace

}  // namespace http_client
