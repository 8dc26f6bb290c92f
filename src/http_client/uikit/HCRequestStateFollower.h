#pragma once

// HCRequestStateFollower: what an activity indicator or a refresh control uses to follow one request: it
// calls `start` while a session task runs or an operation executes and `stop` when it pauses or ends, from
// the request's state notifications, on the main queue. Following another request (or none) stops listening
// to the previous one; so does destroying the follower.
//
// Thread-safety: main thread only.

#include <functional>
#include <memory>
#include <vector>

#include "http_client/HCURLConnectionOperation.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/net/URLSessionTask.h"

namespace http_client {

class HCRequestStateFollower {
 public:
  // How a task that is not running is followed.
  enum class TaskPolicy {
    // A suspended task is stopped and listened to; a completed one is left alone.
    kListenUnlessCompleted,
    // Anything but a running task is stopped and not listened to.
    kListenOnlyWhileRunning,
  };

  HCRequestStateFollower(std::function<void()> start, std::function<void()> stop, TaskPolicy policy);
  ~HCRequestStateFollower();
  HCRequestStateFollower(const HCRequestStateFollower&) = delete;
  HCRequestStateFollower& operator=(const HCRequestStateFollower&) = delete;

  // Follows `task` (nullptr: nothing): resume starts, suspend and completion stop.
  void followTask(const std::shared_ptr<ns::URLSessionTask>& task);
  // Follows `operation` (nullptr: nothing) unless it has finished: its start starts, its finish stops.
  void followOperation(const std::shared_ptr<HCURLConnectionOperation>& operation);

 private:
  void stopListening();
  void listen(const char* name, const std::shared_ptr<ns::Object>& object,
              const std::function<void()>& action);

  // Constant after construction
  const std::function<void()> start_;
  const std::function<void()> stop_;
  const TaskPolicy policy_;

  std::vector<ns::NotificationCenter::ObserverToken> tokens_;
};

}  // namespace http_client
