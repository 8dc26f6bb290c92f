#pragma once

// HCActivityIndicatorViewNotificationObserver: makes an activity indicator spin while a request runs. One is
// kept on each indicator that follows a request (of()), holding the indicator weakly: it spins while the
// task runs or the operation executes and stops when the request pauses or ends. Following another request
// stops following the previous one; a task that has already completed is not followed at all.
//
// Thread-safety: main thread only.

#include <memory>

#include "http_client/HCURLConnectionOperation.h"
#include "http_client/uikit/HCRequestStateFollower.h"
#include "platform/net/URLSessionTask.h"
#include "platform/uikit/views/ActivityIndicatorView.h"

namespace http_client {

class HCActivityIndicatorViewNotificationObserver {
 public:
  // Returns the observer kept on `view`, made on first use.
  static HCActivityIndicatorViewNotificationObserver& of(uikit::ActivityIndicatorView& view);

  explicit HCActivityIndicatorViewNotificationObserver(std::weak_ptr<uikit::ActivityIndicatorView> view);

  void setAnimatingWithStateOfTask(const std::shared_ptr<ns::URLSessionTask>& task);
  void setAnimatingWithStateOfOperation(const std::shared_ptr<HCURLConnectionOperation>& operation);

 private:
  HCRequestStateFollower follower_;
};

}  // namespace http_client
