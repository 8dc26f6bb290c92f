#include "platform/net/URLSessionTask.h"

#include <algorithm>
#include <utility>

#include "platform/foundation/storage/FileManager.h"
#include "platform/net/AuthenticationChallenges.h"
#include "platform/net/CurlRequestSetup.h"
#include "platform/net/DescriptionFormat.h"
#include "platform/net/FileInputStream.h"
#include "platform/net/HTTPHeaderFields.h"
#include "platform/net/URLError.h"
#include "platform/net/URLSession.h"
#include "platform/net/URLSessionDownloadFile.h"

namespace ns {

namespace {

using State = URLSessionTaskState;

Mutex& transitionHookMutex() {
  static Mutex mutex;
  return mutex;
}

URLSessionTask::TransitionHook& transitionHookSlot() {
  static URLSessionTask::TransitionHook hook;
  return hook;
}

URLSessionTask::TransitionHook currentTransitionHook() {
  MutexLock lock(transitionHookMutex());
  return transitionHookSlot();
}

std::string_view nameOfState(State state) {
  switch (state) {
    case State::kRunning:
      return "running";
    case State::kSuspended:
      return "suspended";
    case State::kCanceling:
      return "canceling";
    case State::kCompleted:
      return "completed";
  }
  return "running";
}

void postOnLoadingThread(Task task) {
  URLSession::loadingThread().runLoop().post(std::move(task));
}

}  // namespace

void URLSessionTask::setTransitionHook(TransitionHook hook) {
  MutexLock lock(transitionHookMutex());
  transitionHookSlot() = std::move(hook);
}

URLSessionTask::URLSessionTask(std::weak_ptr<URLSession> session, std::uint64_t identifier,
                               URLSessionTaskKind kind, URLRequest request, BodySource bodySource,
                               std::string bodyFile)
    : session_(std::move(session)),
      identifier_(identifier),
      kind_(kind),
      originalRequest_(std::move(request)),
      bodySource_(bodySource),
      bodyFile_(std::move(bodyFile)),
      currentRequest_(originalRequest_) {
  if (bodySource_ == BodySource::kFile) {
    // The file is opened only when the task starts; its length is announced already.
    URLRequest withStream = originalRequest_;
    withStream.setHTTPBodyStream(std::make_shared<FileInputStream>(bodyFile_));
    bytesExpectedToSend_ = announcedBodyLength(withStream);
  } else if (originalRequest_.HTTPBody() || originalRequest_.HTTPBodyStream()) {
    bytesExpectedToSend_ = announcedBodyLength(originalRequest_);
  } else {
    bytesExpectedToSend_ = 0;
  }
}

URLSessionTask::~URLSessionTask() = default;

std::shared_ptr<URLSessionTask> URLSessionTask::retainedSelf() {
  return std::static_pointer_cast<URLSessionTask>(shared_from_this());
}

URLRequest URLSessionTask::currentRequest() const {
  MutexLock lock(mutex_);
  return currentRequest_;
}

std::shared_ptr<const URLResponse> URLSessionTask::response() const {
  MutexLock lock(mutex_);
  return response_;
}

std::optional<Error> URLSessionTask::error() const {
  MutexLock lock(mutex_);
  return error_;
}

URLSessionTaskState URLSessionTask::state() const {
  MutexLock lock(mutex_);
  return state_;
}

std::string URLSessionTask::taskDescription() const {
  MutexLock lock(mutex_);
  return taskDescription_;
}

void URLSessionTask::setTaskDescription(std::string description) {
  MutexLock lock(mutex_);
  taskDescription_ = std::move(description);
}

double URLSessionTask::decisionTimeout() const {
  return currentRequest().timeoutInterval();
}

bool URLSessionTask::changeState(std::initializer_list<State> from, State to) {
  State old = to;
  {
    MutexLock lock(mutex_);
    if (std::find(from.begin(), from.end(), state_) == from.end()) {
      return false;
    }
    old = std::exchange(state_, to);
  }
  didChangeValueForKey("state", Value(static_cast<int>(old)), Value(static_cast<int>(to)));
  return true;
}

void URLSessionTask::setCount(std::atomic<std::int64_t>& count, std::string_view key, std::int64_t value) {
  const std::int64_t old = count.exchange(value);
  didChangeValueForKey(key, Value(old), Value(value));
}

void URLSessionTask::resume() {
  if (!changeState({State::kSuspended}, State::kRunning)) {
    return;
  }
  std::shared_ptr<URLSessionTask> self = retainedSelf();
  // The session and its delegate are taken now, so that both live on for a task started just before their
  // last owner let go.
  std::shared_ptr<URLSession> session = session_.lock();
  std::shared_ptr<URLSessionDelegate> delegate = session ? session->delegate_.lock() : nullptr;
  postOnLoadingThread([self, session = std::move(session), delegate = std::move(delegate)]() mutable {
    if (self->started_) {
      self->release();
    } else {
      self->startLoading(std::move(session), std::move(delegate));
    }
  });
  if (const TransitionHook hook = currentTransitionHook()) {
    hook(self, Transition::kResumed);
  }
}

void URLSessionTask::suspend() {
  if (!changeState({State::kRunning}, State::kSuspended)) {
    return;
  }
  // Loading reads the state itself, so that nothing arriving from now on reaches the delegate.
  if (const TransitionHook hook = currentTransitionHook()) {
    hook(retainedSelf(), Transition::kSuspended);
  }
}

void URLSessionTask::cancel() {
  if (!changeState({State::kRunning, State::kSuspended}, State::kCanceling)) {
    return;
  }
  postOnLoadingThread([self = retainedSelf()] {
    self->stopLoading();
    self->complete(makeURLError(kURLErrorCancelled, self->currentRequest().url()));
  });
}

void URLSessionTask::startLoading(std::shared_ptr<URLSession> session,
                                  std::shared_ptr<URLSessionDelegate> delegate) {
  started_ = true;
  // A running task keeps its session, as the platform's session lives while its tasks run, and the session
  // keeps its delegate until the task's completion has been told.
  runningSession_ = std::move(session);
  if (runningSession_) {
    runningSession_->holdDelegate(std::move(delegate));
  }
  URLRequest request = currentRequest();
  if (bodySource_ == BodySource::kFile) {
    request.setHTTPBodyStream(std::make_shared<FileInputStream>(bodyFile_));
  }
  sendRequest(std::move(request));
}

void URLSessionTask::sendRequest(URLRequest request) {
  {
    MutexLock lock(mutex_);
    currentRequest_ = request;
  }
  // The connection delegate is a private base, so the pointer is made by hand, sharing the task's ownership.
  const std::shared_ptr<URLSessionTask> self = retainedSelf();
  const std::shared_ptr<URLConnectionDelegate> delegate(self,
                                                        static_cast<URLConnectionDelegate*>(self.get()));
  connection_ = URLConnection::create(std::move(request), delegate);
  connection_->start();
}

std::optional<URLRequest> URLSessionTask::withFreshBody(URLRequest request) {
  switch (bodySource_) {
    case BodySource::kNone:
    case BodySource::kData:
      return request;
    case BodySource::kFile:
      request.setHTTPBodyStream(std::make_shared<FileInputStream>(bodyFile_));
      return request;
    case BodySource::kStream:
      break;
  }
  const std::shared_ptr<URLSession> session = session_.lock();
  auto stream = std::make_shared<std::shared_ptr<InputStream>>();
  const bool asked =
      session && session->askDelegate(
                     URLSessionDelegate::Callback::kNeedNewBodyStream, decisionTimeout(),
                     [self = retainedSelf(), stream](URLSessionDelegate& delegate, URLSession& session) {
                       *stream = delegate.needNewBodyStream(session, *self);
                     });
  if (!asked || !*stream) {
    return std::nullopt;
  }
  request.setHTTPBodyStream(*stream);
  return request;
}

void URLSessionTask::release() {
  if (pendingEnd_) {
    std::optional<Error> error = std::move(*pendingEnd_);
    pendingEnd_.reset();
    complete(std::move(error));
    return;
  }
  if (receivingHeldBack_ && connection_) {
    receivingHeldBack_ = false;
    connection_->resumeReceiving();
  }
}

void URLSessionTask::stopLoading() {
  if (connection_) {
    connection_->cancel();
    connection_.reset();
  }
}

void URLSessionTask::endLoading(std::optional<Error> error) {
  connection_.reset();
  if (state() == State::kSuspended) {
    pendingEnd_ = std::move(error);
    return;
  }
  complete(std::move(error));
}

void URLSessionTask::complete(std::optional<Error> error) {
  if (ended_) {
    return;
  }
  ended_ = true;
  stopLoading();
  if (error && challengeCancelled_) {
    error = makeURLError(kURLErrorCancelled, currentRequest().url());
  } else if (error && kind_ == URLSessionTaskKind::kDownload && state() != State::kCanceling) {
    error = withResumeData(std::move(*error));
  }
  // The file is handed over only when the whole body is in it; a write or close that failed fails the task.
  std::shared_ptr<URLSessionDownloadFile> file = std::move(downloadFile_);
  if (!error && kind_ == URLSessionTaskKind::kDownload && !file) {
    Result<std::unique_ptr<URLSessionDownloadFile>> empty = URLSessionDownloadFile::create();
    if (empty) {
      file = std::move(*empty);
    } else {
      error = empty.error();
    }
  }
  if (file && !error) {
    if (const Status closed = file->close(); !closed) {
      error = closed.error();
    }
  }
  {
    MutexLock lock(mutex_);
    error_ = error;
  }
  changeState({State::kRunning, State::kSuspended, State::kCanceling}, State::kCompleted);
  // A task that held its session holds its delegate too (startLoading()).
  const bool holdsDelegate = runningSession_ != nullptr;
  const std::shared_ptr<URLSession> session = holdsDelegate ? std::move(runningSession_) : session_.lock();
  if (!session) {
    return;
  }
  session->runOnDelegateQueue(
      [self = retainedSelf(), session, file, error = std::move(error), holdsDelegate]() mutable {
        const std::shared_ptr<URLSessionDelegate> delegate = session->delegate_.lock();
        if (delegate && file && !error) {
          delegate->didFinishDownloadingToPath(*session, *self, file->path());
        }
        // The file was lent for that call only: whatever is left of it goes before the task is reported done.
        file.reset();
        if (delegate) {
          delegate->didCompleteWithError(*session, *self, error);
        }
        session->taskDidComplete(*self);
        if (holdsDelegate) {
          session->releaseDelegate();
        }
      });
}

URLConnectionDelegate::TrustDecision URLSessionTask::shouldTrustServer(URLConnection& connection,
                                                                       ServerTrust& trust,
                                                                       const std::string& host) {
  const std::shared_ptr<URLSession> session = session_.lock();
  auto challenge = std::make_shared<URLAuthenticationChallenge>(
      serverTrustChallenge(*currentRequest().url(), host, trust));
  auto answer = std::make_shared<URLAuthenticationChallengeAnswer>();
  const bool asked =
      session &&
      (session->askDelegate(URLSessionDelegate::Callback::kDidReceiveChallenge, decisionTimeout(),
                            [challenge, answer](URLSessionDelegate& delegate, URLSession& session) {
                              *answer = delegate.didReceiveChallenge(session, *challenge);
                            }) ||
       session->askDelegate(
           URLSessionDelegate::Callback::kTaskDidReceiveChallenge, decisionTimeout(),
           [self = retainedSelf(), challenge, answer](URLSessionDelegate& delegate, URLSession& session) {
             *answer = delegate.taskDidReceiveChallenge(session, *self, *challenge);
           }));
  if (!asked) {
    return URLConnectionDelegate::shouldTrustServer(connection, trust, host);
  }
  switch (answer->disposition) {
    case URLSessionAuthChallengeDisposition::kUseCredential:
      return answer->credential && answer->credential->serverTrust() ? TrustDecision::kAccept
                                                                     : TrustDecision::kRefuse;
    case URLSessionAuthChallengeDisposition::kPerformDefaultHandling:
      return URLConnectionDelegate::shouldTrustServer(connection, trust, host);
    case URLSessionAuthChallengeDisposition::kCancelAuthenticationChallenge:
      challengeCancelled_ = true;
      return TrustDecision::kRefuse;
    case URLSessionAuthChallengeDisposition::kRejectProtectionSpace:
      break;
  }
  return TrustDecision::kRefuse;
}

bool URLSessionTask::answerBasicChallenge(URLConnection& connection,
                                          const std::shared_ptr<const HTTPURLResponse>& response) {
  const URL url = *currentRequest().url();
  std::optional<URLAuthenticationChallenge> basic = basicChallengeOf(url, response, basicChallengeFailures_);
  if (!basic) {
    return false;
  }
  const std::shared_ptr<URLSession> session = session_.lock();
  auto challenge = std::make_shared<URLAuthenticationChallenge>(std::move(*basic));
  auto answer = std::make_shared<URLAuthenticationChallengeAnswer>();
  if (!session ||
      !session->askDelegate(
          URLSessionDelegate::Callback::kTaskDidReceiveChallenge, decisionTimeout(),
          [self = retainedSelf(), challenge, answer](URLSessionDelegate& delegate, URLSession& session) {
            *answer = delegate.taskDidReceiveChallenge(session, *self, *challenge);
          })) {
    return false;
  }
  if (answer->disposition == URLSessionAuthChallengeDisposition::kCancelAuthenticationChallenge) {
    connection.cancel();
    challengeCancelled_ = true;
    endLoading(makeURLError(kURLErrorCancelled, url));
    return true;
  }
  if (answer->disposition != URLSessionAuthChallengeDisposition::kUseCredential || !answer->credential ||
      answer->credential->serverTrust()) {
    return false;  // the 401 reply stands as the response, as with no credential to give
  }
  ++basicChallengeFailures_;
  URLRequest next = currentRequest();
  next.setValue(basicAuthorization(*answer->credential), "Authorization");
  connection.cancel();
  std::optional<URLRequest> withBody = withFreshBody(std::move(next));
  if (!withBody) {
    endLoading(makeURLError(kURLErrorRequestBodyStreamExhausted, url));
    return true;
  }
  setCount(bytesSent_, "countOfBytesSent", 0);
  sendRequest(std::move(*withBody));
  return true;
}

std::optional<URLRequest> URLSessionTask::willSendRequest(URLConnection&, URLRequest proposed,
                                                          const HTTPURLResponse& redirectResponse) {
  const std::shared_ptr<URLSession> session = session_.lock();
  auto decided = std::make_shared<std::optional<URLRequest>>();
  const bool asked =
      session && session->askDelegate(
                     URLSessionDelegate::Callback::kWillPerformHTTPRedirection, decisionTimeout(),
                     [self = retainedSelf(), decided, response = redirectResponse, proposed](
                         URLSessionDelegate& delegate, URLSession& session) {
                       *decided = delegate.willPerformHTTPRedirection(session, *self, response, proposed);
                     });
  std::optional<URLRequest> followed = asked ? std::move(*decided) : std::optional(std::move(proposed));
  if (followed) {
    MutexLock lock(mutex_);
    currentRequest_ = *followed;
  }
  return followed;
}

void URLSessionTask::didSendBodyData(URLConnection&, std::int64_t bytesWritten,
                                     std::int64_t totalBytesWritten, std::int64_t totalBytesExpectedToWrite) {
  if (bytesExpectedToSend_ != totalBytesExpectedToWrite) {
    setCount(bytesExpectedToSend_, "countOfBytesExpectedToSend", totalBytesExpectedToWrite);
  }
  setCount(bytesSent_, "countOfBytesSent", totalBytesWritten);
  if (const std::shared_ptr<URLSession> session = session_.lock()) {
    session->tellDelegate([self = retainedSelf(), bytesWritten, totalBytesWritten, totalBytesExpectedToWrite](
                              URLSessionDelegate& delegate, URLSession& session) {
      delegate.didSendBodyData(session, *self, bytesWritten, totalBytesWritten, totalBytesExpectedToWrite);
    });
  }
}

void URLSessionTask::didReceiveResponse(URLConnection& connection,
                                        std::shared_ptr<const URLResponse> response) {
  if (auto http = std::dynamic_pointer_cast<const HTTPURLResponse>(response);
      http && answerBasicChallenge(connection, http)) {
    return;
  }
  {
    MutexLock lock(mutex_);
    response_ = response;
  }
  if (kind_ == URLSessionTaskKind::kDownload) {
    openDownloadFile(connection, response);
    return;
  }
  setCount(bytesExpectedToReceive_, "countOfBytesExpectedToReceive", response->expectedContentLength());
  const std::shared_ptr<URLSession> session = session_.lock();
  auto disposition = std::make_shared<URLSessionResponseDisposition>(URLSessionResponseDisposition::kAllow);
  const bool asked =
      session && session->askDelegate(URLSessionDelegate::Callback::kDidReceiveResponse, decisionTimeout(),
                                      [self = retainedSelf(), response, disposition](
                                          URLSessionDelegate& delegate, URLSession& session) {
                                        *disposition = delegate.didReceiveResponse(session, *self, response);
                                      });
  if (asked && *disposition == URLSessionResponseDisposition::kCancel) {
    connection.cancel();
    endLoading(makeURLError(kURLErrorCancelled, currentRequest().url()));
  } else if (asked && *disposition == URLSessionResponseDisposition::kBecomeDownload &&
             kind_ == URLSessionTaskKind::kData) {
    becomeDownload(connection, response);
  }
}

void URLSessionTask::becomeDownload(URLConnection& connection,
                                    const std::shared_ptr<const URLResponse>& response) {
  const std::shared_ptr<URLSession> session = runningSession_ ? runningSession_ : session_.lock();
  std::shared_ptr<URLSessionTask> download =
      session ? session->makeTask(URLSessionTaskKind::kDownload, currentRequest(), BodySource::kNone)
              : nullptr;
  if (!download) {
    connection.cancel();
    endLoading(makeURLError(kURLErrorCancelled, currentRequest().url()));
    return;
  }
  // The download takes over the load as it stands, with this task's hold on the session and its delegate.
  download->started_ = true;
  download->runningSession_ = std::move(runningSession_);
  download->connection_ = std::move(connection_);
  {
    MutexLock lock(download->mutex_);
    download->response_ = response;
  }
  download->changeState({State::kSuspended}, State::kRunning);
  becameDownload_ = download;
  ended_ = true;
  changeState({State::kRunning, State::kSuspended}, State::kCompleted);
  session->tellDelegate([self = retainedSelf(), download](URLSessionDelegate& delegate, URLSession& session) {
    delegate.didBecomeDownloadTask(session, *self, download);
  });
  session->runOnDelegateQueue([self = retainedSelf(), session] { session->taskDidComplete(*self); });
  download->openDownloadFile(connection, response);
}

void URLSessionTask::openDownloadFile(URLConnection& connection,
                                      const std::shared_ptr<const URLResponse>& response) {
  const std::optional<URLSessionResumeData> resume = std::exchange(resumeFrom_, std::nullopt);
  const auto http = std::dynamic_pointer_cast<const HTTPURLResponse>(response);
  const bool continues = resume && http && resume->isContinuedBy(*http);
  if (resume && !continues) {
    // The stored bytes belong to another entity (or the server cannot send the rest): start over.
    static_cast<void>(FileManager::defaultManager().removeItemAtPath(resume->partialFilePath));
    if (http && http->statusCode() == 206) {
      URLRequest whole = currentRequest();
      whole.setValue(std::nullopt, "Range");
      whole.setValue(std::nullopt, "If-Range");
      connection.cancel();
      sendRequest(std::move(whole));
      return;
    }
  }
  Result<std::unique_ptr<URLSessionDownloadFile>> file =
      continues ? URLSessionDownloadFile::continuing(resume->partialFilePath)
                : URLSessionDownloadFile::create();
  if (!file) {
    connection.cancel();
    endLoading(file.error());
    return;
  }
  downloadFile_ = std::move(*file);
  const std::int64_t offset = continues ? static_cast<std::int64_t>(resume->bytesStored) : 0;
  const std::int64_t length = response->expectedContentLength();
  const std::int64_t expected = length < 0 ? -1 : offset + length;
  setCount(bytesReceived_, "countOfBytesReceived", offset);
  setCount(bytesExpectedToReceive_, "countOfBytesExpectedToReceive", expected);
  if (const std::shared_ptr<URLSession> session = session_.lock(); session && resume) {
    session->tellDelegate(
        [self = retainedSelf(), offset, expected](URLSessionDelegate& delegate, URLSession& session) {
          delegate.didResumeAtOffset(session, *self, offset, expected);
        });
  }
}

Error URLSessionTask::withResumeData(Error error) {
  const auto http = std::dynamic_pointer_cast<const HTTPURLResponse>(response());
  const std::optional<URL> url = currentRequest().url();
  if (!http || !url || !downloadFile_ || !downloadFile_->close()) {
    return error;
  }
  const std::optional<URLSessionResumeData> resume = URLSessionResumeData::forPartialDownload(
      *url, *http, downloadFile_->path(), static_cast<std::uint64_t>(bytesReceived_.load()));
  if (!resume) {
    return error;
  }
  downloadFile_->keep();
  Dictionary userInfo = error.userInfo();
  userInfo[std::string(kURLSessionDownloadTaskResumeData)] = resume->encoded();
  return Error(error.domain(), error.code(), std::move(userInfo));
}

URLConnectionDelegate::DataDisposition URLSessionTask::didReceiveData(URLConnection& connection,
                                                                      const std::uint8_t* bytes,
                                                                      std::size_t length) {
  if (becameDownload_) {
    return becameDownload_->didReceiveData(connection, bytes, length);
  }
  if (state() == State::kSuspended) {
    receivingHeldBack_ = true;
    return DataDisposition::kNoSpace;
  }
  const std::int64_t received = bytesReceived_ + static_cast<std::int64_t>(length);
  setCount(bytesReceived_, "countOfBytesReceived", received);
  const std::shared_ptr<URLSession> session = session_.lock();
  if (kind_ == URLSessionTaskKind::kDownload) {
    if (const Status written = downloadFile_->append(bytes, length); !written) {
      connection.cancel();
      endLoading(written.error());
      return DataDisposition::kConsumed;
    }
    if (session) {
      session->tellDelegate(
          [self = retainedSelf(), length, received, expected = bytesExpectedToReceive_.load()](
              URLSessionDelegate& delegate, URLSession& session) {
            delegate.didWriteData(session, *self, static_cast<std::int64_t>(length), received, expected);
          });
    }
    return DataDisposition::kConsumed;
  }
  if (session) {
    session->tellDelegate([self = retainedSelf(), data = Data(bytes, bytes + length)](
                              URLSessionDelegate& delegate, URLSession& session) {
      delegate.didReceiveData(session, *self, data);
    });
  }
  return DataDisposition::kConsumed;
}

std::optional<CachedURLResponse> URLSessionTask::willCacheResponse(URLConnection&,
                                                                   CachedURLResponse proposed) {
  const std::shared_ptr<URLSession> session = session_.lock();
  const std::shared_ptr<URLSessionDelegate> delegate = session ? session->delegate_.lock() : nullptr;
  // Asked first, so that the body is copied for the delegate only when it decides.
  if (becameDownload_ || kind_ == URLSessionTaskKind::kDownload || !delegate ||
      !delegate->answers(URLSessionDelegate::Callback::kWillCacheResponse)) {
    return proposed;
  }
  auto decided = std::make_shared<std::optional<CachedURLResponse>>();
  const bool asked = session->askDelegate(
      URLSessionDelegate::Callback::kWillCacheResponse, decisionTimeout(),
      [self = retainedSelf(), decided, proposed](URLSessionDelegate& delegate, URLSession& session) {
        *decided = delegate.willCacheResponse(session, *self, proposed);
      });
  return asked ? std::move(*decided) : std::optional(std::move(proposed));
}

void URLSessionTask::didFinishLoading(URLConnection&) {
  (becameDownload_ ? *becameDownload_ : *this).endLoading(std::nullopt);
}

void URLSessionTask::didFailWithError(URLConnection&, const Error& error) {
  (becameDownload_ ? *becameDownload_ : *this).endLoading(error);
}

Value URLSessionTask::valueForKey(std::string_view key) const {
  if (key == "state") {
    return static_cast<int>(state());
  }
  if (key == "countOfBytesSent") {
    return bytesSent_.load();
  }
  if (key == "countOfBytesExpectedToSend") {
    return bytesExpectedToSend_.load();
  }
  if (key == "countOfBytesReceived") {
    return bytesReceived_.load();
  }
  if (key == "countOfBytesExpectedToReceive") {
    return bytesExpectedToReceive_.load();
  }
  return KeyValueObservable::valueForKey(key);
}

std::string URLSessionTask::description() const {
  return descriptionPrefix("URLSessionTask", this) + " { taskIdentifier: " + std::to_string(identifier_) +
         " } { state: " + std::string(nameOfState(state())) + " }";
}

}  // namespace ns
