#include "http_client/uikit/HCRequestStateFollower.h"

#include "http_client/HCURLSessionManager.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/DispatchQueue.h"

namespace http_client {

HCRequestStateFollower::HCRequestStateFollower(std::function<void()> start, std::function<void()> stop,
                                               TaskPolicy policy)
    : start_(std::move(start)), stop_(std::move(stop)), policy_(policy) {}

HCRequestStateFollower::~HCRequestStateFollower() {
  stopListening();
}

void HCRequestStateFollower::stopListening() {
  for (const ns::NotificationCenter::ObserverToken& token : tokens_) {
    ns::NotificationCenter::defaultCenter().removeObserver(token);
  }
  tokens_.clear();
}

void HCRequestStateFollower::listen(const char* name, const std::shared_ptr<ns::Object>& object,
                                    const std::function<void()>& action) {
  tokens_.push_back(ns::NotificationCenter::defaultCenter().addObserverForName(
      name, object, &ns::DispatchQueue::main(), [action](const ns::Notification&) { action(); }));
}

void HCRequestStateFollower::followTask(const std::shared_ptr<ns::URLSessionTask>& task) {
  QM_DCHECK_MAIN_THREAD();
  stopListening();
  if (!task) {
    return;
  }
  const ns::URLSessionTaskState state = task->state();
  const bool running = state == ns::URLSessionTaskState::kRunning;
  const bool follows =
      policy_ == TaskPolicy::kListenUnlessCompleted ? state != ns::URLSessionTaskState::kCompleted : running;
  if (policy_ == TaskPolicy::kListenUnlessCompleted && !follows) {
    return;
  }
  running ? start_() : stop_();
  if (!follows) {
    return;
  }
  listen(kHCNetworkingTaskDidResumeNotification, task, start_);
  listen(kHCNetworkingTaskDidCompleteNotification, task, stop_);
  listen(kHCNetworkingTaskDidSuspendNotification, task, stop_);
}

void HCRequestStateFollower::followOperation(const std::shared_ptr<HCURLConnectionOperation>& operation) {
  QM_DCHECK_MAIN_THREAD();
  stopListening();
  if (!operation || operation->isFinished()) {
    return;
  }
  operation->isExecuting() ? start_() : stop_();
  listen(kHCNetworkingOperationDidStartNotification, operation, start_);
  listen(kHCNetworkingOperationDidFinishNotification, operation, stop_);
}

}  // namespace http_client
