#pragma once

// HCProgressViewBinding: makes a progress view show how far a request has come, its upload or its download.
//
// For a session task, the view observes the task's byte count ("countOfBytesSent" or
// "countOfBytesReceived") and state: each count sets the view's progress to count / expected total on the
// main queue, unless the expected total is unknown (below 1). The binding is kept on the view, one for
// uploads and one for downloads, and it stops observing its task when the task completes, when the view is
// bound to another task in the same direction, and when the view goes: no observer is ever left on a task.
//
// For an operation, the operation's progress block in that direction is wrapped: the block it had is still
// called first, and the view (held weakly) follows.
//
// Thread-safety: the bind functions on the main thread only; observations run on whatever thread the task
// changes on and hand the view to the main queue.

#include <memory>

#include "http_client/HCURLConnectionOperation.h"
#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/notify/KeyValueObservation.h"
#include "platform/net/URLSessionTask.h"
#include "platform/uikit/views/ProgressView.h"

namespace http_client {

class HCProgressViewBinding {
 public:
  enum class Direction { kUpload, kDownload };

  static void setProgressWithUploadProgressOfTask(uikit::ProgressView& view,
                                                  const std::shared_ptr<ns::URLSessionTask>& task,
                                                  bool animated);
  static void setProgressWithDownloadProgressOfTask(uikit::ProgressView& view,
                                                    const std::shared_ptr<ns::URLSessionTask>& task,
                                                    bool animated);
  static void setProgressWithUploadProgressOfOperation(
      uikit::ProgressView& view, const std::shared_ptr<HCURLConnectionOperation>& operation, bool animated);
  static void setProgressWithDownloadProgressOfOperation(
      uikit::ProgressView& view, const std::shared_ptr<HCURLConnectionOperation>& operation, bool animated);

  HCProgressViewBinding() = default;
  ~HCProgressViewBinding();
  HCProgressViewBinding(const HCProgressViewBinding&) = delete;
  HCProgressViewBinding& operator=(const HCProgressViewBinding&) = delete;

 private:
  static void bindTask(uikit::ProgressView& view, const std::shared_ptr<ns::URLSessionTask>& task,
                       Direction direction, bool animated);
  static void bindOperation(uikit::ProgressView& view,
                            const std::shared_ptr<HCURLConnectionOperation>& operation, Direction direction,
                            bool animated);
  // Sets the view's progress to `count` / `expected` on the main queue, when `expected` is at least 1.
  static void showProgress(const std::weak_ptr<uikit::ProgressView>& view, std::int64_t count,
                           std::int64_t expected, bool animated);
  // Ends both observations; later calls do nothing.
  void stopObserving() QM_EXCLUDES(mutex_);

  ns::Mutex mutex_;
  ns::KeyValueObservation stateObservation_ QM_GUARDED_BY(mutex_);
  ns::KeyValueObservation countObservation_ QM_GUARDED_BY(mutex_);
};

}  // namespace http_client
