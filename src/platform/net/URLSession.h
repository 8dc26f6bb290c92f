#pragma once

// ns::URLSession: makes URL session tasks (URLSessionTask.h) and tells its delegate about them on its
// delegate queue, one call at a time, in the order events happened (URLSessionDelegate.h gives the calls).
// Every session loads on one thread of the process, loadingThread(), through URLConnection and its engine.
// No session is a background one.
//
// A session holds its tasks until they complete; a task that has started holds its session until it
// completes, so that the session lives while its tasks run. The session holds its delegate while a started
// task has not been reported complete, and from its invalidation until it has reported itself invalid, so
// that an owner released meanwhile still hears the end of what it started; otherwise it holds the delegate
// weakly, so that an owner that is also the delegate is not kept alive by its own session. Invalidating it
// (finishTasksAndInvalidate(), invalidateAndCancel()) refuses new tasks and, once its tasks have completed,
// tells the delegate didBecomeInvalidWithError() as its last call. A session released with tasks that never
// started cancels them without telling anyone.
//
// Thread-safety: every method may be called from any thread.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/OperationQueue.h"
#include "platform/foundation/loop/RunLoopThread.h"
#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Object.h"
#include "platform/net/URLSessionConfiguration.h"
#include "platform/net/URLSessionDelegate.h"
#include "platform/net/URLSessionTask.h"

namespace ns {

class URLSession : public Object {
 public:
  using Tasks = std::vector<std::shared_ptr<URLSessionTask>>;
  // The session's tasks not yet completed, each kind in the order the tasks were made.
  using TasksHandler =
      std::function<void(const Tasks& dataTasks, const Tasks& uploadTasks, const Tasks& downloadTasks)>;

  // The thread every session's loads run on, started on first use.
  static RunLoopThread& loadingThread();

  // Returns a session with `configuration` whose `delegate` (held weakly; may be empty) is told on
  // `delegateQueue`; without a queue the session makes a serial one of its own.
  static std::shared_ptr<URLSession> sessionWithConfiguration(
      URLSessionConfiguration configuration, std::weak_ptr<URLSessionDelegate> delegate = {},
      std::shared_ptr<OperationQueue> delegateQueue = nullptr);
  ~URLSession() override;

  const URLSessionConfiguration& configuration() const { return configuration_; }
  OperationQueue& delegateQueue() const { return *delegateQueue_; }

  // Each returns a new suspended task, or nullptr once the session has been invalidated.
  std::shared_ptr<URLSessionTask> dataTaskWithRequest(const URLRequest& request);
  // Sends `body` as the request's body.
  std::shared_ptr<URLSessionTask> uploadTaskWithRequest(const URLRequest& request, Data body);
  // Sends the file at `path`, read in pieces as it goes out, with its length announced.
  std::shared_ptr<URLSessionTask> uploadTaskWithRequestFromFile(const URLRequest& request, std::string path);
  // Sends the request's body stream; needNewBodyStream is asked when it must be sent again.
  std::shared_ptr<URLSessionTask> uploadTaskWithStreamedRequest(const URLRequest& request);
  std::shared_ptr<URLSessionTask> downloadTaskWithRequest(const URLRequest& request);
  // A download that asks for the rest of what `resumeData` (URLSessionResumeData.h) stored, and appends it
  // to the stored bytes when the server sends them from the right byte; otherwise it starts over. nullptr
  // when `resumeData` is not resume data.
  std::shared_ptr<URLSessionTask> downloadTaskWithResumeData(const Data& resumeData);

  // Calls `handler` on the delegate queue with the tasks not yet completed.
  void getTasksWithCompletionHandler(TasksHandler handler);
  // Refuses new tasks and lets the running ones finish; then tells the delegate it is invalid.
  void finishTasksAndInvalidate();
  // As finishTasksAndInvalidate(), cancelling the tasks.
  void invalidateAndCancel();

  // "<URLSession: 0x...>".
  std::string description() const;

  // Use sessionWithConfiguration().
  URLSession(URLSessionConfiguration configuration, std::weak_ptr<URLSessionDelegate> delegate,
             std::shared_ptr<OperationQueue> delegateQueue);

 private:
  friend class URLSessionTask;

  std::shared_ptr<URLSessionTask> makeTask(URLSessionTaskKind kind, URLRequest request,
                                           URLSessionTask::BodySource bodySource, std::string bodyFile = {});
  // Runs `work` on the delegate queue after everything the session queued there before.
  void runOnDelegateQueue(Task work);
  // Queues `call` on the delegate queue; it runs with the delegate, when there is one then.
  void tellDelegate(std::function<void(URLSessionDelegate& delegate, URLSession& session)> call);
  // Runs `call` on the delegate queue when the delegate answers `callback`, and waits at most `timeout`
  // seconds for it to have run. Returns true when it ran in time; `call` must then have left its answer in
  // state it shares with the caller (it may still run later when this returns false).
  // REQUIRES: not on the delegate queue.
  bool askDelegate(URLSessionDelegate::Callback callback, double timeout,
                   std::function<void(URLSessionDelegate& delegate, URLSession& session)> call);
  // Drops the completed `task`; the last one of an invalidated session makes it invalid.
  void taskDidComplete(const URLSessionTask& task);
  void becomeInvalidIfDone();
  // Marks the session invalidated; returns false when it already was.
  bool markInvalidated();
  // Each holdDelegate() keeps the delegate until its releaseDelegate(). `delegate` is the session's
  // delegate as the caller took it (nullptr when it was gone).
  void holdDelegate(std::shared_ptr<URLSessionDelegate> delegate);
  void releaseDelegate();

  // Constant after construction
  const URLSessionConfiguration configuration_;
  const std::weak_ptr<URLSessionDelegate> delegate_;
  const std::shared_ptr<OperationQueue> delegateQueue_;

  mutable Mutex mutex_;
  std::map<std::uint64_t, std::shared_ptr<URLSessionTask>> tasks_ QM_GUARDED_BY(mutex_);
  std::uint64_t nextIdentifier_ QM_GUARDED_BY(mutex_) = 1;
  bool invalidated_ QM_GUARDED_BY(mutex_) = false;
  bool invalidAnnounced_ QM_GUARDED_BY(mutex_) = false;
  std::shared_ptr<URLSessionDelegate> heldDelegate_ QM_GUARDED_BY(mutex_);
  std::size_t delegateHolds_ QM_GUARDED_BY(mutex_) = 0;

  Mutex pendingMutex_;
  std::deque<Task> pendingWork_ QM_GUARDED_BY(pendingMutex_);
  bool drainQueued_ QM_GUARDED_BY(pendingMutex_) = false;  // an operation will run pendingWork_
};

}  // namespace ns
