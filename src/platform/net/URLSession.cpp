#include "platform/net/URLSession.h"

#include <chrono>
#include <condition_variable>
#include <utility>

#include "platform/foundation/loop/BlockOperation.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/net/DescriptionFormat.h"
#include "platform/net/URLSessionResumeData.h"

namespace ns {

RunLoopThread& URLSession::loadingThread() {
  static RunLoopThread thread("URLSession");
  return thread;
}

std::shared_ptr<URLSession> URLSession::sessionWithConfiguration(
    URLSessionConfiguration configuration, std::weak_ptr<URLSessionDelegate> delegate,
    std::shared_ptr<OperationQueue> delegateQueue) {
  if (!delegateQueue) {
    delegateQueue = std::make_shared<OperationQueue>();
    delegateQueue->setMaxConcurrentOperationCount(1);
  }
  return std::make_shared<URLSession>(std::move(configuration), std::move(delegate),
                                      std::move(delegateQueue));
}

URLSession::URLSession(URLSessionConfiguration configuration, std::weak_ptr<URLSessionDelegate> delegate,
                       std::shared_ptr<OperationQueue> delegateQueue)
    : configuration_(std::move(configuration)),
      delegate_(std::move(delegate)),
      delegateQueue_(std::move(delegateQueue)) {}

URLSession::~URLSession() {
  std::map<std::uint64_t, std::shared_ptr<URLSessionTask>> tasks;
  {
    MutexLock lock(mutex_);
    tasks.swap(tasks_);
  }
  for (const auto& [identifier, task] : tasks) {
    task->cancel();
  }
}

std::shared_ptr<URLSessionTask> URLSession::makeTask(URLSessionTaskKind kind, URLRequest request,
                                                     URLSessionTask::BodySource bodySource,
                                                     std::string bodyFile) {
  MutexLock lock(mutex_);
  if (invalidated_) {
    return nullptr;
  }
  const std::uint64_t identifier = nextIdentifier_++;
  auto task = std::make_shared<URLSessionTask>(std::static_pointer_cast<URLSession>(shared_from_this()),
                                               identifier, kind, configuration_.applyTo(std::move(request)),
                                               bodySource, std::move(bodyFile));
  tasks_.emplace(identifier, task);
  return task;
}

std::shared_ptr<URLSessionTask> URLSession::dataTaskWithRequest(const URLRequest& request) {
  return makeTask(URLSessionTaskKind::kData, request, URLSessionTask::BodySource::kNone);
}

std::shared_ptr<URLSessionTask> URLSession::uploadTaskWithRequest(const URLRequest& request, Data body) {
  URLRequest withBody = request;
  withBody.setHTTPBody(std::move(body));
  return makeTask(URLSessionTaskKind::kUpload, std::move(withBody), URLSessionTask::BodySource::kData);
}

std::shared_ptr<URLSessionTask> URLSession::uploadTaskWithRequestFromFile(const URLRequest& request,
                                                                          std::string path) {
  URLRequest withLength = request;
  withLength.setHTTPBody(std::nullopt);
  // The length goes on the wire when the file can be measured now; a file that cannot be read fails the
  // task when its body is opened.
  if (const Result<FileAttributes> attributes = FileManager::defaultManager().attributesOfItemAtPath(path);
      attributes && attributes->type == FileType::kRegular) {
    withLength.setValue(std::to_string(attributes->size), "Content-Length");
  }
  return makeTask(URLSessionTaskKind::kUpload, std::move(withLength), URLSessionTask::BodySource::kFile,
                  std::move(path));
}

std::shared_ptr<URLSessionTask> URLSession::uploadTaskWithStreamedRequest(const URLRequest& request) {
  return makeTask(URLSessionTaskKind::kUpload, request, URLSessionTask::BodySource::kStream);
}

std::shared_ptr<URLSessionTask> URLSession::downloadTaskWithRequest(const URLRequest& request) {
  return makeTask(URLSessionTaskKind::kDownload, request, URLSessionTask::BodySource::kNone);
}

std::shared_ptr<URLSessionTask> URLSession::downloadTaskWithResumeData(const Data& resumeData) {
  std::optional<URLSessionResumeData> resume = URLSessionResumeData::decode(resumeData);
  if (!resume) {
    return nullptr;
  }
  std::shared_ptr<URLSessionTask> task =
      makeTask(URLSessionTaskKind::kDownload, resume->requestForRest(), URLSessionTask::BodySource::kNone);
  if (task) {
    task->resumeFrom_ = std::move(resume);
  }
  return task;
}

void URLSession::getTasksWithCompletionHandler(TasksHandler handler) {
  runOnDelegateQueue(
      [self = std::static_pointer_cast<URLSession>(shared_from_this()), handler = std::move(handler)] {
        Tasks byKind[3];
        {
          MutexLock lock(self->mutex_);
          for (const auto& [identifier, task] : self->tasks_) {
            byKind[static_cast<int>(task->kind())].push_back(task);
          }
        }
        handler(byKind[static_cast<int>(URLSessionTaskKind::kData)],
                byKind[static_cast<int>(URLSessionTaskKind::kUpload)],
                byKind[static_cast<int>(URLSessionTaskKind::kDownload)]);
      });
}

bool URLSession::markInvalidated() {
  {
    MutexLock lock(mutex_);
    if (std::exchange(invalidated_, true)) {
      return false;
    }
  }
  // Released once the delegate has heard that the session is invalid.
  holdDelegate(delegate_.lock());
  return true;
}

void URLSession::finishTasksAndInvalidate() {
  markInvalidated();
  becomeInvalidIfDone();
}

void URLSession::invalidateAndCancel() {
  markInvalidated();
  std::vector<std::shared_ptr<URLSessionTask>> running;
  {
    MutexLock lock(mutex_);
    for (const auto& [identifier, task] : tasks_) {
      running.push_back(task);
    }
  }
  for (const std::shared_ptr<URLSessionTask>& task : running) {
    task->cancel();
  }
  becomeInvalidIfDone();
}

void URLSession::taskDidComplete(const URLSessionTask& task) {
  {
    MutexLock lock(mutex_);
    tasks_.erase(task.taskIdentifier());
  }
  becomeInvalidIfDone();
}

void URLSession::becomeInvalidIfDone() {
  {
    MutexLock lock(mutex_);
    if (!invalidated_ || !tasks_.empty() || invalidAnnounced_) {
      return;
    }
    invalidAnnounced_ = true;
  }
  runOnDelegateQueue([self = std::static_pointer_cast<URLSession>(shared_from_this())] {
    if (const std::shared_ptr<URLSessionDelegate> delegate = self->delegate_.lock()) {
      delegate->didBecomeInvalidWithError(*self, std::nullopt);
    }
    self->releaseDelegate();
  });
}

void URLSession::holdDelegate(std::shared_ptr<URLSessionDelegate> delegate) {
  MutexLock lock(mutex_);
  if (delegateHolds_++ == 0) {
    heldDelegate_ = std::move(delegate);
  }
}

void URLSession::releaseDelegate() {
  std::shared_ptr<URLSessionDelegate> released;
  {
    MutexLock lock(mutex_);
    if (--delegateHolds_ == 0) {
      released = std::move(heldDelegate_);
    }
  }
  // The delegate may own this session: it goes here, outside the lock, while the caller still holds the
  // session.
}

void URLSession::tellDelegate(std::function<void(URLSessionDelegate& delegate, URLSession& session)> call) {
  runOnDelegateQueue(
      [self = std::static_pointer_cast<URLSession>(shared_from_this()), call = std::move(call)] {
        if (const std::shared_ptr<URLSessionDelegate> delegate = self->delegate_.lock()) {
          call(*delegate, *self);
        }
      });
}

bool URLSession::askDelegate(URLSessionDelegate::Callback callback, double timeout,
                             std::function<void(URLSessionDelegate& delegate, URLSession& session)> call) {
  const std::shared_ptr<URLSessionDelegate> delegate = delegate_.lock();
  if (!delegate || !delegate->answers(callback)) {
    return false;
  }
  struct Answer {
    Mutex mutex;
    std::condition_variable answered;
    bool done QM_GUARDED_BY(mutex) = false;
    bool asked QM_GUARDED_BY(mutex) = false;
  };
  auto answer = std::make_shared<Answer>();
  runOnDelegateQueue(
      [self = std::static_pointer_cast<URLSession>(shared_from_this()), answer, call = std::move(call)] {
        const std::shared_ptr<URLSessionDelegate> delegate = self->delegate_.lock();
        if (delegate) {
          call(*delegate, *self);
        }
        MutexLock lock(answer->mutex);
        answer->asked = delegate != nullptr;
        answer->done = true;
        answer->answered.notify_all();
      });
  const auto deadline =
      std::chrono::steady_clock::now() +
      std::chrono::duration_cast<std::chrono::steady_clock::duration>(
          std::chrono::duration<double>(timeout > 0 ? timeout : URLRequest::kDefaultTimeoutInterval));
  MutexLock lock(answer->mutex);
  while (!answer->done) {
    if (lock.waitUntil(answer->answered, deadline) == std::cv_status::timeout) {
      break;
    }
  }
  return answer->done && answer->asked;
}

void URLSession::runOnDelegateQueue(Task work) {
  {
    MutexLock lock(pendingMutex_);
    pendingWork_.push_back(std::move(work));
    if (drainQueued_) {
      return;
    }
    drainQueued_ = true;
  }
  // One operation runs the work queued until none is left, so that a burst of events costs the delegate
  // queue one operation rather than one each; the order stays the order of queueing.
  delegateQueue_->addOperation(
      BlockOperation::create([self = std::static_pointer_cast<URLSession>(shared_from_this())] {
        for (;;) {
          Task next;
          {
            MutexLock lock(self->pendingMutex_);
            if (self->pendingWork_.empty()) {
              self->drainQueued_ = false;
              return;
            }
            next = std::move(self->pendingWork_.front());
            self->pendingWork_.pop_front();
          }
          next();
        }
      }));
}

std::string URLSession::description() const {
  return descriptionPrefix("URLSession", this);
}

}  // namespace ns
