#pragma once

// HCRefreshControlNotificationObserver: makes a refresh control refresh while a request runs. One is kept on
// each control that follows a request (of()), holding the control weakly: it refreshes while the task runs
// or the operation executes and ends when the request pauses or ends. A task that is not running when
// followed ends the refreshing and is not listened to. Following another request stops following the
// previous one.
//
// Thread-safety: main thread only.

#include <memory>

#include "http_client/HCURLConnectionOperation.h"
#include "http_client/uikit/HCRequestStateFollower.h"
#include "platform/net/URLSessionTask.h"
#include "platform/uikit/controls/RefreshControl.h"

namespace http_client {

class HCRefreshControlNotificationObserver {
 public:
  // Returns the observer kept on `control`, made on first use.
  static HCRefreshControlNotificationObserver& of(uikit::RefreshControl& control);

  explicit HCRefreshControlNotificationObserver(std::weak_ptr<uikit::RefreshControl> control);

  void setRefreshingWithStateOfTask(const std::shared_ptr<ns::URLSessionTask>& task);
  void setRefreshingWithStateOfOperation(const std::shared_ptr<HCURLConnectionOperation>& operation);

 private:
  HCRequestStateFollower follower_;
};

}  // namespace http_client
