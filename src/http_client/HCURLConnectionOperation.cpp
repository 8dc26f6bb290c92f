#include "http_client/HCURLConnectionOperation.h"

#include <cerrno>
#include <future>
#include <utility>

#include "http_client/HCBodyStreamCopy.h"
#include "http_client/HCCodingValues.h"
#include "http_client/HCObjectAddress.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/BlockOperation.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/PosixError.h"
#include "platform/net/AuthenticationChallenges.h"
#include "platform/net/URLCredentialStorage.h"
#include "platform/net/URLError.h"
#include "platform/uikit/app/Application.h"

namespace http_client {

namespace {

using State = HCURLConnectionOperation::State;

std::string_view keyOfState(State state) {
  switch (state) {
    case State::kPaused:
      return "isPaused";
    case State::kReady:
      return ns::kIsReadyKey;
    case State::kExecuting:
      return ns::kIsExecutingKey;
    case State::kFinished:
      return ns::kIsFinishedKey;
  }
  return ns::kIsReadyKey;
}

// The group that completion blocks run in when an operation names none. Never destroyed: an operation still
// finishing on the network thread while the process ends (a picture loading at quit) enters it.
ns::DispatchGroup processWideCompletionGroup() {
  static const ns::DispatchGroup& group = *new ns::DispatchGroup();
  return group;
}

bool onNetworkThread() {
  return HCURLConnectionOperation::networkRequestThread().isCurrent();
}

void postOnNetworkThread(ns::Task task) {
  HCURLConnectionOperation::networkRequestThread().runLoop().post(std::move(task));
}

// The stream's own error, or a generic input/output error for a stream that failed without one.
ns::Error streamFailure(const ns::OutputStream& stream) {
  return stream.streamError().value_or(ns::posixError(EIO, ""));
}

ns::URLRequest archivedRequest(const ns::Dictionary& coder) {
  const auto request = coder.find("request");
  return (request != coder.end() ? HCDecodeURLRequest(request->second) : std::nullopt)
      .value_or(ns::URLRequest());
}

}  // namespace

ns::RunLoopThread& HCURLConnectionOperation::networkRequestThread() {
  static ns::RunLoopThread thread("HTTPClient");
  return thread;
}

HCURLConnectionOperation::HCURLConnectionOperation(ns::URLRequest request)
    : request_(std::move(request)),
      outputStream_(ns::OutputStream::toMemory()),
      securityPolicy_(HCSecurityPolicy::defaultPolicy()) {}

HCURLConnectionOperation::HCURLConnectionOperation(const ns::Dictionary& coder)
    : HCURLConnectionOperation(archivedRequest(coder)) {
  const ns::Value archive(coder);
  if (const ns::Value* state = archive.find("state"); state != nullptr && state->isInteger()) {
    setState(static_cast<State>(state->asInteger()));
  }
  if (const ns::Value* response = archive.find("response")) {
    response_ = HCDecodeHTTPURLResponse(*response);
  }
  if (const ns::Value* error = archive.find("error")) {
    error_ = HCDecodeError(*error);
  }
  if (const ns::Value* data = archive.find("responseData"); data != nullptr && data->isData()) {
    responseData_ = data->asData();
  }
  if (const ns::Value* total = archive.find("totalBytesRead"); total != nullptr && total->isInteger()) {
    totalBytesRead_ = total->asInteger();
  }
}

HCURLConnectionOperation::~HCURLConnectionOperation() {
  if (outputStream_) {
    outputStream_->close();
  }
  endBackgroundTask();
}

void HCURLConnectionOperation::encodeWithCoder(ns::Dictionary& coder) {
  pause();
  ns::MutexLock lock(lock_);
  const State state = state_;
  coder["request"] = HCEncodeURLRequest(request_);
  coder["state"] =
      static_cast<int>(state == State::kExecuting || state == State::kPaused ? State::kReady : state);
  if (const auto response = std::dynamic_pointer_cast<const ns::HTTPURLResponse>(response_)) {
    coder["response"] = HCEncodeHTTPURLResponse(*response);
  }
  if (error_) {
    coder["error"] = HCEncodeError(*error_);
  }
  if (responseData_) {
    coder["responseData"] = *responseData_;
  }
  coder["totalBytesRead"] = totalBytesRead_.load();
}

std::shared_ptr<HCURLConnectionOperation> HCURLConnectionOperation::copy() const {
  auto operation = std::make_shared<HCURLConnectionOperation>(request());
  copyPropertiesInto(*operation);
  return operation;
}

void HCURLConnectionOperation::copyPropertiesInto(HCURLConnectionOperation& target) const {
  target.setUploadProgressBlock(uploadProgressBlock());
  target.setDownloadProgressBlock(downloadProgressBlock());
  AuthenticationChallengeBlock authenticationChallenge;
  RedirectResponseBlock redirectResponse;
  CacheResponseBlock cacheResponse;
  std::shared_ptr<ns::DispatchQueue> completionQueue;
  std::optional<ns::DispatchGroup> completionGroup;
  {
    ns::MutexLock lock(lock_);
    authenticationChallenge = authenticationChallenge_;
    redirectResponse = redirectResponse_;
    cacheResponse = cacheResponse_;
    completionQueue = completionQueue_;
    completionGroup = completionGroup_;
  }
  // Taken one after the other, never both at once, so that no order between two operations' locks exists.
  ns::MutexLock lock(target.lock_);
  target.authenticationChallenge_ = std::move(authenticationChallenge);
  target.redirectResponse_ = std::move(redirectResponse);
  target.cacheResponse_ = std::move(cacheResponse);
  target.completionQueue_ = std::move(completionQueue);
  target.completionGroup_ = std::move(completionGroup);
}

// State machine.

bool HCURLConnectionOperation::canChangeState(State to) const {
  switch (state_.load()) {
    case State::kReady:
      return to == State::kPaused || to == State::kExecuting || (to == State::kFinished && isCancelled());
    case State::kExecuting:
      return to == State::kPaused || to == State::kFinished;
    case State::kPaused:
      return to == State::kReady || (to == State::kFinished && isCancelled());
    case State::kFinished:
      return false;
  }
  return false;
}

bool HCURLConnectionOperation::setState(State to) {
  std::optional<StateChange> change;
  {
    ns::MutexLock lock(lock_);
    change = changeStateLocked(to);
  }
  announceStateChange(change);
  return change.has_value();
}

std::optional<HCURLConnectionOperation::StateChange> HCURLConnectionOperation::changeStateLocked(State to) {
  if (!canChangeState(to)) {
    return std::nullopt;
  }
  return StateChange{state_.exchange(to), to};
}

void HCURLConnectionOperation::announceStateChange(const std::optional<StateChange>& change) {
  if (!change) {
    return;
  }
  if (change->to == State::kFinished) {
    // Posted before the change is announced, so that it reaches the main queue ahead of anything the
    // completion block queues there.
    postNotificationOnMainQueue(kHCNetworkingOperationDidFinishNotification);
  }
  willChangeValueForKey(keyOfState(change->to));
  willChangeValueForKey(keyOfState(change->from));
  didChangeValueForKey(keyOfState(change->from));
  didChangeValueForKey(keyOfState(change->to));
}

bool HCURLConnectionOperation::isReady() const {
  return state_ == State::kReady && ns::Operation::isReady();
}

void HCURLConnectionOperation::start() {
  std::optional<StateChange> change;
  {
    ns::MutexLock lock(lock_);
    if (isCancelled()) {
      postOnNetworkThread([self = retainedSelf()] { self->cancelConnection(); });
      return;
    }
    if (!isReady()) {
      return;
    }
    change = changeStateLocked(State::kExecuting);
  }
  announceStateChange(change);
  if (change) {
    postOnNetworkThread([self = retainedSelf()] { self->operationDidStart(); });
  }
}

void HCURLConnectionOperation::cancel() {
  if (isFinished() || isCancelled()) {
    return;
  }
  // Announced before the lock is taken. A start() meanwhile either sees the cancellation or leaves the
  // operation executing, which the check below then finds.
  ns::Operation::cancel();
  ns::MutexLock lock(lock_);
  // A paused operation has no connection left, but it still has to finish so that its completion runs and
  // its queue lets go of it.
  if (isExecuting() || isPaused()) {
    postOnNetworkThread([self = retainedSelf()] { self->cancelConnection(); });
  }
}

void HCURLConnectionOperation::pause() {
  if (isPaused() || isFinished() || isCancelled()) {
    return;
  }
  std::optional<StateChange> change;
  {
    ns::MutexLock lock(lock_);
    if (isExecuting()) {
      postOnNetworkThread([self = retainedSelf()] { self->operationDidPause(); });
      postNotificationOnMainQueue(kHCNetworkingOperationDidFinishNotification);
    }
    change = changeStateLocked(State::kPaused);
  }
  announceStateChange(change);
}

void HCURLConnectionOperation::resume() {
  if (!isPaused()) {
    return;
  }
  if (setState(State::kReady)) {
    start();
  }
}

void HCURLConnectionOperation::postNotificationOnMainQueue(const char* name) {
  ns::DispatchQueue::main().async([self = retainedSelf(), name] {
    ns::NotificationCenter::defaultCenter().postNotificationName(name, self);
  });
}

void HCURLConnectionOperation::setCompletionBlock(ns::Task block) {
  ns::MutexLock lock(lock_);
  if (!block) {
    ns::Operation::setCompletionBlock(nullptr);
    return;
  }
  // The block holds the operation until it has run; the operation lets go of the block once finished.
  ns::Operation::setCompletionBlock(
      [self = retainedSelf(), block = std::move(block)] { self->dispatchOnCompletionQueue(block); });
}

void HCURLConnectionOperation::dispatchCompletionBlock(ns::Task block) {
  // Every block installed here only queues work on the completion or processing queue, so it runs in
  // place instead of on a thread of its own first.
  block();
}

void HCURLConnectionOperation::dispatchOnCompletionQueue(ns::Task task) {
  const std::shared_ptr<ns::DispatchQueue> queue = completionQueue();
  completionGroupOrProcessWide().async(queue ? *queue : ns::DispatchQueue::main(), std::move(task));
}

ns::DispatchGroup HCURLConnectionOperation::completionGroupOrProcessWide() const {
  return completionGroup().value_or(processWideCompletionGroup());
}

// Network-thread steps.

void HCURLConnectionOperation::runOnNetworkThreadAndWait(const std::function<void()>& task) {
  if (networkRequestThread().isCurrent()) {
    task();
    return;
  }
  std::promise<void> done;
  postOnNetworkThread([&] {
    task();
    done.set_value();
  });
  done.get_future().wait();
}

void HCURLConnectionOperation::operationDidStart() {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  std::optional<ns::Error> streamOpenFailure;
  {
    ns::MutexLock lock(lock_);
    if (!isCancelled()) {
      authenticationFailures_ = 0;
      listenForSpace();
      outputStream_->open();
      if (outputStream_->streamStatus() == ns::StreamStatus::kError) {
        streamOpenFailure = streamFailure(*outputStream_);
      } else {
        connection_ =
            ns::URLConnection::create(request_, std::weak_ptr<ns::URLConnectionDelegate>(retainedSelf()));
        connection_->start();
      }
    }
  }
  postNotificationOnMainQueue(kHCNetworkingOperationDidStartNotification);
  if (streamOpenFailure) {
    failWithError(*streamOpenFailure);
  }
}

void HCURLConnectionOperation::operationDidPause() {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  ns::MutexLock lock(lock_);
  if (connection_) {
    connection_->cancel();
    connection_.reset();
  }
  // The resume offset is what the stream holds; bytes it had not taken yet will come again.
  pendingBody_.clear();
  finishWhenBodyWritten_ = false;
  waitingForSpace_ = false;
}

void HCURLConnectionOperation::cancelConnection() {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  std::optional<StateChange> finished;
  {
    ns::MutexLock lock(lock_);
    if (isFinished()) {
      return;
    }
    if (connection_) {
      connection_->cancel();
    }
    finished = failLocked(ns::makeURLError(ns::kURLErrorCancelled, request_.url()));
  }
  announceStateChange(finished);
}

void HCURLConnectionOperation::failWithError(const ns::Error& error) {
  std::optional<StateChange> finished;
  {
    ns::MutexLock lock(lock_);
    finished = failLocked(error);
  }
  announceStateChange(finished);
}

std::optional<HCURLConnectionOperation::StateChange> HCURLConnectionOperation::failLocked(
    const ns::Error& error) {
  error_ = error;
  outputStream_->close();
  connection_.reset();
  return changeStateLocked(State::kFinished);
}

std::optional<HCURLConnectionOperation::StateChange> HCURLConnectionOperation::cancelAndFailLocked(
    ns::URLConnection& connection, const ns::Error& error) {
  connection.cancel();
  return failLocked(error);
}

bool HCURLConnectionOperation::discardReceivedBody(ns::URLConnection& connection) {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  std::optional<StateChange> finished;
  {
    ns::MutexLock lock(lock_);
    pendingBody_.clear();
    if (outputStream_->discardWrittenBytes()) {
      totalBytesRead_ = 0;
      return true;
    }
    // The server sent the whole body again, and a stream that cannot start over would hold it twice.
    finished =
        cancelAndFailLocked(connection, ns::makeURLError(ns::kURLErrorBadServerResponse, request_.url()));
  }
  announceStateChange(finished);
  return false;
}

bool HCURLConnectionOperation::writePendingBody() {
  std::size_t written = 0;
  while (written < pendingBody_.size()) {
    const std::ptrdiff_t count =
        outputStream_->write(pendingBody_.data() + written, pendingBody_.size() - written);
    if (count < 0) {
      return false;
    }
    if (count == 0) {
      break;
    }
    written += static_cast<std::size_t>(count);
  }
  pendingBody_.erase(pendingBody_.begin(), pendingBody_.begin() + static_cast<std::ptrdiff_t>(written));
  return true;
}

void HCURLConnectionOperation::listenForSpace() {
  // The stream reports space on whatever thread makes it, so its handler is set once, before the stream
  // opens, and never changed while a report may be under way: it only asks the network thread to look.
  if (std::exchange(listeningForSpace_, true)) {
    return;
  }
  std::weak_ptr<HCURLConnectionOperation> weakSelf = retainedSelf();
  outputStream_->setSpaceAvailableHandler([weakSelf] {
    postOnNetworkThread([weakSelf] {
      if (const auto self = weakSelf.lock()) {
        self->streamDidGainSpace();
      }
    });
  });
}

void HCURLConnectionOperation::waitForSpace() {
  waitingForSpace_ = true;
}

void HCURLConnectionOperation::streamDidGainSpace() {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  std::optional<StateChange> finished;
  {
    ns::MutexLock lock(lock_);
    // Reports that nobody waits for (the operation ended or paused meanwhile) change nothing.
    if (!std::exchange(waitingForSpace_, false) || isFinished() ||
        (!connection_ && !finishWhenBodyWritten_)) {
      return;
    }
    if (!writePendingBody()) {
      if (connection_) {
        connection_->cancel();
      }
      finished = failLocked(streamFailure(*outputStream_));
    } else if (!pendingBody_.empty() || !outputStream_->hasSpaceAvailable()) {
      waitForSpace();
    } else if (finishWhenBodyWritten_) {
      finished = finishLoadingLocked();
    } else if (connection_) {
      connection_->resumeReceiving();
    }
  }
  announceStateChange(finished);
}

std::optional<HCURLConnectionOperation::StateChange> HCURLConnectionOperation::finishLoadingLocked() {
  if (const ns::Data* data = outputStream_->dataWrittenToMemory()) {
    responseData_ = *data;
  }
  outputStream_->close();
  connection_.reset();
  return changeStateLocked(State::kFinished);
}

// ns::URLConnectionDelegate.

ns::URLAuthenticationChallengeAnswer HCURLConnectionOperation::answerChallenge(
    ns::URLConnection& connection, const ns::URLAuthenticationChallenge& challenge) {
  AuthenticationChallengeBlock block;
  std::shared_ptr<HCSecurityPolicy> policy;
  std::optional<ns::URLCredential> credential;
  bool useStorage = false;
  {
    ns::MutexLock lock(lock_);
    block = authenticationChallenge_;
    policy = securityPolicy_;
    credential = credential_;
    useStorage = shouldUseCredentialStorage_;
  }
  if (block) {
    return block(connection, challenge);
  }
  const ns::URLProtectionSpace& space = challenge.protectionSpace;
  if (space.authenticationMethod == ns::kURLAuthenticationMethodServerTrust) {
    if (policy && space.serverTrust && policy->evaluateServerTrust(*space.serverTrust, space.host)) {
      return {ns::URLSessionAuthChallengeDisposition::kUseCredential,
              ns::URLCredential::forTrust(space.serverTrust)};
    }
    return {ns::URLSessionAuthChallengeDisposition::kCancelAuthenticationChallenge, std::nullopt};
  }
  // A credential is offered once: after a refusal the server's reply stands.
  if (challenge.previousFailureCount == 0) {
    if (!credential && useStorage) {
      credential =
          ns::URLCredentialStorage::sharedCredentialStorage().defaultCredentialForProtectionSpace(space);
    }
    if (credential) {
      return {ns::URLSessionAuthChallengeDisposition::kUseCredential, std::move(credential)};
    }
  }
  return {ns::URLSessionAuthChallengeDisposition::kPerformDefaultHandling, std::nullopt};
}

ns::URLConnectionDelegate::TrustDecision HCURLConnectionOperation::shouldTrustServer(
    ns::URLConnection& connection, ns::ServerTrust& trust, const std::string& host) {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  const ns::URLAuthenticationChallengeAnswer answer =
      answerChallenge(connection, ns::serverTrustChallenge(*connection.currentRequest().url(), host, trust));
  switch (answer.disposition) {
    case ns::URLSessionAuthChallengeDisposition::kUseCredential:
      return answer.credential && answer.credential->serverTrust() ? TrustDecision::kAccept
                                                                   : TrustDecision::kRefuse;
    case ns::URLSessionAuthChallengeDisposition::kPerformDefaultHandling:
      return URLConnectionDelegate::shouldTrustServer(connection, trust, host);
    case ns::URLSessionAuthChallengeDisposition::kCancelAuthenticationChallenge:
    case ns::URLSessionAuthChallengeDisposition::kRejectProtectionSpace:
      break;
  }
  return TrustDecision::kRefuse;
}

bool HCURLConnectionOperation::answerBasicChallenge(ns::URLConnection& connection,
                                                    const std::shared_ptr<const ns::URLResponse>& response) {
  ns::URLRequest request = connection.currentRequest();
  const std::optional<ns::URLAuthenticationChallenge> challenge =
      ns::basicChallengeOf(*request.url(), std::dynamic_pointer_cast<const ns::HTTPURLResponse>(response),
                           authenticationFailures_);
  if (!challenge) {
    return false;
  }
  const ns::URLAuthenticationChallengeAnswer answer = answerChallenge(connection, *challenge);
  std::optional<ns::Error> failure;
  if (answer.disposition == ns::URLSessionAuthChallengeDisposition::kCancelAuthenticationChallenge) {
    failure = ns::makeURLError(ns::kURLErrorCancelled, request.url());
  } else if (answer.disposition != ns::URLSessionAuthChallengeDisposition::kUseCredential ||
             !answer.credential || answer.credential->serverTrust()) {
    return false;
  } else {
    ++authenticationFailures_;
    request.setValue(ns::basicAuthorization(*answer.credential), "Authorization");
    if (request.HTTPBodyStream()) {
      // The first stream has been read: only a copy sends the same body again.
      std::shared_ptr<ns::InputStream> body = HCCopyOfBodyStream(connection.originalRequest());
      if (!body) {
        failure = ns::makeURLError(ns::kURLErrorRequestBodyStreamExhausted, request.url());
      }
      request.setHTTPBodyStream(std::move(body));
    }
  }
  std::optional<StateChange> finished;
  {
    ns::MutexLock lock(lock_);
    if (failure) {
      finished = cancelAndFailLocked(connection, *failure);
    } else {
      connection.cancel();
      connection_ = ns::URLConnection::create(std::move(request),
                                              std::weak_ptr<ns::URLConnectionDelegate>(retainedSelf()));
      connection_->start();
    }
  }
  announceStateChange(finished);
  return true;
}

std::optional<ns::URLRequest> HCURLConnectionOperation::willSendRequest(
    ns::URLConnection& connection, ns::URLRequest proposed, const ns::HTTPURLResponse& redirectResponse) {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  RedirectResponseBlock redirect;
  {
    ns::MutexLock lock(lock_);
    redirect = redirectResponse_;
  }
  if (redirect) {
    return redirect(connection, proposed, redirectResponse);
  }
  return proposed;
}

void HCURLConnectionOperation::didSendBodyData(ns::URLConnection&, std::int64_t bytesWritten,
                                               std::int64_t totalBytesWritten,
                                               std::int64_t totalBytesExpectedToWrite) {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  // Without a block there is nobody to report to, and no reason to wake the main thread.
  if (!uploadProgressBlock()) {
    return;
  }
  ns::DispatchQueue::main().async(
      [self = retainedSelf(), bytesWritten, totalBytesWritten, totalBytesExpectedToWrite] {
        if (const ProgressBlock progress = self->uploadProgressBlock()) {
          progress(bytesWritten, totalBytesWritten, totalBytesExpectedToWrite);
        }
      });
}

void HCURLConnectionOperation::didReceiveResponse(ns::URLConnection& connection,
                                                  std::shared_ptr<const ns::URLResponse> response) {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  if (!answerBasicChallenge(connection, response)) {
    didReceiveFinalResponse(connection, std::move(response));
  }
}

void HCURLConnectionOperation::didReceiveFinalResponse(ns::URLConnection&,
                                                       std::shared_ptr<const ns::URLResponse> response) {
  ns::MutexLock lock(lock_);
  response_ = std::move(response);
}

ns::URLConnectionDelegate::DataDisposition HCURLConnectionOperation::didReceiveData(
    ns::URLConnection& connection, const std::uint8_t* bytes, std::size_t length) {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  std::optional<StateChange> failed;
  const DataDisposition disposition = takeData(connection, bytes, length, failed);
  announceStateChange(failed);
  return disposition;
}

ns::URLConnectionDelegate::DataDisposition HCURLConnectionOperation::takeData(
    ns::URLConnection& connection, const std::uint8_t* bytes, std::size_t length,
    std::optional<StateChange>& failed) {
  ns::MutexLock lock(lock_);
  if (!pendingBody_.empty()) {
    return DataDisposition::kNoSpace;
  }
  if (!outputStream_->hasSpaceAvailable()) {
    if (outputStream_->streamStatus() == ns::StreamStatus::kError) {
      failed = cancelAndFailLocked(connection, streamFailure(*outputStream_));
      return DataDisposition::kConsumed;
    }
    waitForSpace();
    return DataDisposition::kNoSpace;
  }
  std::size_t written = 0;
  while (written < length) {
    const std::ptrdiff_t count = outputStream_->write(bytes + written, length - written);
    if (count < 0) {
      // A body with a hole in it is no body: the operation fails rather than finish with what it has.
      failed = cancelAndFailLocked(connection, streamFailure(*outputStream_));
      return DataDisposition::kConsumed;
    }
    if (count == 0) {
      pendingBody_.assign(bytes + written, bytes + length);
      waitForSpace();
      break;
    }
    written += static_cast<std::size_t>(count);
  }
  const std::int64_t total = totalBytesRead_ += static_cast<std::int64_t>(length);
  // A report costs the main queue a wake-up, so one is queued only while somebody listens.
  if (downloadProgressBlock()) {
    const std::int64_t expected =
        response_ ? response_->expectedContentLength() : ns::URLResponse::kUnknownLength;
    ns::DispatchQueue::main().async([self = retainedSelf(), length, total, expected] {
      if (const ProgressBlock progress = self->downloadProgressBlock()) {
        progress(static_cast<std::int64_t>(length), total, expected);
      }
    });
  }
  return DataDisposition::kConsumed;
}

std::optional<ns::CachedURLResponse> HCURLConnectionOperation::willCacheResponse(
    ns::URLConnection& connection, ns::CachedURLResponse proposed) {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  CacheResponseBlock block;
  {
    ns::MutexLock lock(lock_);
    block = cacheResponse_;
  }
  if (block) {
    return block(connection, proposed);
  }
  return isCancelled() ? std::nullopt : std::optional(std::move(proposed));
}

void HCURLConnectionOperation::didFinishLoading(ns::URLConnection&) {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  std::optional<StateChange> finished;
  {
    ns::MutexLock lock(lock_);
    if (!pendingBody_.empty()) {
      finishWhenBodyWritten_ = true;
      return;
    }
    finished = finishLoadingLocked();
  }
  announceStateChange(finished);
}

void HCURLConnectionOperation::didFailWithError(ns::URLConnection&, const ns::Error& error) {
  QM_DCHECK(onNetworkThread(), "called on the network thread");
  failWithError(error);
}

// Properties.

ns::URLRequest HCURLConnectionOperation::request() const {
  ns::MutexLock lock(lock_);
  return request_;
}

void HCURLConnectionOperation::setRequest(ns::URLRequest request) {
  ns::MutexLock lock(lock_);
  request_ = std::move(request);
}

std::shared_ptr<ns::InputStream> HCURLConnectionOperation::inputStream() const {
  ns::MutexLock lock(lock_);
  return request_.HTTPBodyStream();
}

void HCURLConnectionOperation::setInputStream(std::shared_ptr<ns::InputStream> stream) {
  ns::MutexLock lock(lock_);
  request_.setHTTPBodyStream(std::move(stream));
}

std::shared_ptr<ns::OutputStream> HCURLConnectionOperation::outputStream() const {
  ns::MutexLock lock(lock_);
  return outputStream_;
}

void HCURLConnectionOperation::setOutputStream(std::shared_ptr<ns::OutputStream> stream) {
  QM_DCHECK(stream != nullptr, "stream is not null");
  QM_DCHECK(state_ == State::kReady, "the output stream is set before the operation starts");
  ns::MutexLock lock(lock_);
  if (stream == outputStream_) {
    return;
  }
  outputStream_->close();
  outputStream_ = std::move(stream);
}

std::shared_ptr<const ns::URLResponse> HCURLConnectionOperation::response() const {
  ns::MutexLock lock(lock_);
  return response_;
}

std::optional<ns::Error> HCURLConnectionOperation::error() const {
  ns::MutexLock lock(lock_);
  return error_;
}

std::optional<ns::Data> HCURLConnectionOperation::responseData() const {
  ns::MutexLock lock(lock_);
  return responseData_;
}

std::optional<ns::StringEncoding> HCURLConnectionOperation::responseStringEncoding() const {
  ns::MutexLock lock(lock_);
  return responseStringEncodingLocked();
}

std::optional<ns::StringEncoding> HCURLConnectionOperation::responseStringEncodingLocked() const {
  if (!response_) {
    return std::nullopt;
  }
  const std::optional<std::string>& name = response_->textEncodingName();
  return (name ? ns::StringEncoding::fromIANACharsetName(*name) : std::nullopt)
      .value_or(ns::StringEncoding::utf8());
}

std::optional<std::string> HCURLConnectionOperation::responseString() const {
  ns::MutexLock lock(lock_);
  if (!responseString_ && response_ && responseData_) {
    responseString_ = responseStringEncodingLocked()->decode(*responseData_);
  }
  return responseString_;
}

std::shared_ptr<HCSecurityPolicy> HCURLConnectionOperation::securityPolicy() const {
  ns::MutexLock lock(lock_);
  return securityPolicy_;
}

void HCURLConnectionOperation::setSecurityPolicy(std::shared_ptr<HCSecurityPolicy> policy) {
  ns::MutexLock lock(lock_);
  securityPolicy_ = std::move(policy);
}

std::optional<ns::URLCredential> HCURLConnectionOperation::credential() const {
  ns::MutexLock lock(lock_);
  return credential_;
}

void HCURLConnectionOperation::setCredential(std::optional<ns::URLCredential> credential) {
  ns::MutexLock lock(lock_);
  credential_ = std::move(credential);
}

bool HCURLConnectionOperation::shouldUseCredentialStorage() const {
  ns::MutexLock lock(lock_);
  return shouldUseCredentialStorage_;
}

void HCURLConnectionOperation::setShouldUseCredentialStorage(bool use) {
  ns::MutexLock lock(lock_);
  shouldUseCredentialStorage_ = use;
}

void HCURLConnectionOperation::setShouldExecuteAsBackgroundTaskWithExpirationHandler(
    std::function<void()> handler) {
  ns::MutexLock lock(lock_);
  if (backgroundTaskIdentifier_ != uikit::kBackgroundTaskInvalid) {
    return;
  }
  std::weak_ptr<HCURLConnectionOperation> weakSelf = retainedSelf();
  backgroundTaskIdentifier_ =
      uikit::Application::sharedApplication().beginBackgroundTaskWithExpirationHandler(
          [weakSelf, handler = std::move(handler)] {
            if (handler) {
              handler();
            }
            if (const auto self = weakSelf.lock()) {
              self->cancel();
              self->endBackgroundTask();
            }
          });
}

uikit::BackgroundTaskIdentifier HCURLConnectionOperation::backgroundTaskIdentifier() const {
  ns::MutexLock lock(lock_);
  return backgroundTaskIdentifier_;
}

void HCURLConnectionOperation::endBackgroundTask() {
  uikit::BackgroundTaskIdentifier identifier = uikit::kBackgroundTaskInvalid;
  {
    ns::MutexLock lock(lock_);
    identifier = std::exchange(backgroundTaskIdentifier_, uikit::kBackgroundTaskInvalid);
  }
  if (identifier != uikit::kBackgroundTaskInvalid) {
    uikit::Application::sharedApplication().endBackgroundTask(identifier);
  }
}

std::shared_ptr<ns::DispatchQueue> HCURLConnectionOperation::completionQueue() const {
  ns::MutexLock lock(lock_);
  return completionQueue_;
}

void HCURLConnectionOperation::setCompletionQueue(std::shared_ptr<ns::DispatchQueue> queue) {
  ns::MutexLock lock(lock_);
  completionQueue_ = std::move(queue);
}

std::optional<ns::DispatchGroup> HCURLConnectionOperation::completionGroup() const {
  ns::MutexLock lock(lock_);
  return completionGroup_;
}

void HCURLConnectionOperation::setCompletionGroup(std::optional<ns::DispatchGroup> group) {
  ns::MutexLock lock(lock_);
  completionGroup_ = std::move(group);
}

ns::Dictionary HCURLConnectionOperation::userInfo() const {
  ns::MutexLock lock(lock_);
  return userInfo_;
}

void HCURLConnectionOperation::setUserInfo(ns::Dictionary userInfo) {
  ns::MutexLock lock(lock_);
  userInfo_ = std::move(userInfo);
}

void HCURLConnectionOperation::setUploadProgressBlock(ProgressBlock block) {
  ns::MutexLock lock(progressMutex_);
  uploadProgress_ = std::move(block);
}

void HCURLConnectionOperation::setDownloadProgressBlock(ProgressBlock block) {
  ns::MutexLock lock(progressMutex_);
  downloadProgress_ = std::move(block);
}

HCURLConnectionOperation::ProgressBlock HCURLConnectionOperation::uploadProgressBlock() const {
  ns::MutexLock lock(progressMutex_);
  return uploadProgress_;
}

HCURLConnectionOperation::ProgressBlock HCURLConnectionOperation::downloadProgressBlock() const {
  ns::MutexLock lock(progressMutex_);
  return downloadProgress_;
}

void HCURLConnectionOperation::setWillSendRequestForAuthenticationChallengeBlock(
    AuthenticationChallengeBlock block) {
  ns::MutexLock lock(lock_);
  authenticationChallenge_ = std::move(block);
}

void HCURLConnectionOperation::setRedirectResponseBlock(RedirectResponseBlock block) {
  ns::MutexLock lock(lock_);
  redirectResponse_ = std::move(block);
}

void HCURLConnectionOperation::setCacheResponseBlock(CacheResponseBlock block) {
  ns::MutexLock lock(lock_);
  cacheResponse_ = std::move(block);
}

std::string HCURLConnectionOperation::description() const {
  ns::MutexLock lock(lock_);
  std::string text = "<";
  text.append(className()).append(": ").append(HCObjectAddress(this));
  text.append(", state: ")
      .append(keyOfState(state_))
      .append(", cancelled: ")
      .append(isCancelled() ? "YES" : "NO");
  text.append(" request: ").append(request_.description());
  text.append(", response: ").append(response_ ? response_->description() : "(null)").append(">");
  return text;
}

// Batches.

std::vector<std::shared_ptr<ns::Operation>> HCURLConnectionOperation::batchOfRequestOperations(
    const std::vector<std::shared_ptr<HCURLConnectionOperation>>& operations,
    BatchProgressBlock progressBlock, BatchCompletionBlock completionBlock) {
  if (operations.empty()) {
    return {ns::BlockOperation::create([completionBlock] {
      if (completionBlock) {
        ns::DispatchQueue::main().async([completionBlock] { completionBlock({}); });
      }
    })};
  }
  ns::DispatchGroup group;
  auto batchedOperation = ns::BlockOperation::create([group, operations, completionBlock]() mutable {
    group.notify(ns::DispatchQueue::main(), [operations, completionBlock] {
      if (completionBlock) {
        completionBlock(operations);
      }
    });
  });
  // Each operation's block counts the batch through weak references, so that no operation holds another.
  std::vector<std::weak_ptr<HCURLConnectionOperation>> batch(operations.begin(), operations.end());
  std::vector<std::shared_ptr<ns::Operation>> result;
  for (const auto& operation : operations) {
    operation->setCompletionGroup(group);
    // The installed block already runs on the operation's completion queue inside the group.
    operation->setCompletionBlock(
        [originalCompletionBlock = operation->completionBlock(), batch, progressBlock, group]() mutable {
          if (originalCompletionBlock) {
            originalCompletionBlock();
          }
          std::size_t finishedCount = 0;
          for (const auto& member : batch) {
            const auto strongMember = member.lock();
            finishedCount += strongMember && strongMember->isFinished() ? 1 : 0;
          }
          if (progressBlock) {
            progressBlock(finishedCount, batch.size());
          }
          group.leave();
        });
    group.enter();
    batchedOperation->addDependency(operation);
    result.push_back(operation);
  }
  result.push_back(batchedOperation);
  return result;
}

}  // namespace http_client
