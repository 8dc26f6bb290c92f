#pragma once

// HCURLConnectionOperation: runs one URL request as a concurrent operation. It owns the URL connection for
// the request, runs it on the process's one network thread ("HTTPClient"), writes the body into an output
// stream (memory unless the caller gives another), answers server-trust challenges through its security
// policy, reports upload and download progress on the main queue, and finishes with the response, the body
// data or an error.
//
// States: ready (1) -> executing (2) -> finished (3), plus paused (-1). pause() stops the connection and
// leaves the operation paused; resume() makes it ready and starts it again. A cancelled operation finishes
// with the URL error -999, from any state but finished (a paused one included), and its completion block
// runs. Changes the table below does not allow are ignored.
//
//   ready     -> paused, executing, finished (only when cancelled)
//   executing -> paused, finished
//   paused    -> ready, finished (only when cancelled)
//
// Authentication challenges: the challenge block answers them when set. Otherwise a server's trust is judged
// by the security policy (refused, the connection fails), and a 401 reply naming the Basic scheme is
// answered on the first attempt with credential(), else, when shouldUseCredentialStorage(), with the
// credential stored for its protection space; the request is then sent again with it (a streamed body only
// when it can be copied). Without a credential, or once one was refused, the 401 reply is the response.
//
// Notifications, posted on the main queue with the operation as object:
// kHCNetworkingOperationDidStartNotification once the network thread has set the connection up (or, when
// cancelled meanwhile, skipped it); kHCNetworkingOperationDidFinishNotification when the operation finished
// (ahead of whatever its completion block queues there), and when an executing operation is paused.
//
// Thread-safety: every public method may be called from any thread. Connection callbacks run on the network
// thread; progress blocks on the main queue; the completion block on the completion queue (main by default).
// State changes are made under the operation's lock and announced to key observers once it is released, so
// an observer (or the completion) may call back into the operation; observers hear "will" and "did" after
// the change is made.
// The completion the operation installs only queues work onward, so it runs on the network thread as the
// operation finishes, without a thread hop of its own.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "http_client/HCSecurityPolicy.h"
#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/DispatchGroup.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/foundation/loop/Operation.h"
#include "platform/foundation/loop/RunLoopThread.h"
#include "platform/foundation/text/StringEncoding.h"
#include "platform/net/OutputStream.h"
#include "platform/net/URLAuthenticationChallenge.h"
#include "platform/net/URLConnection.h"
#include "platform/net/URLConnectionDelegate.h"
#include "platform/net/URLCredential.h"
#include "platform/uikit/app/BackgroundTasks.h"

namespace http_client {

inline constexpr char kHCNetworkingOperationDidStartNotification[] =
    "com.httpclient.networking.operation.start";
inline constexpr char kHCNetworkingOperationDidFinishNotification[] =
    "com.httpclient.networking.operation.finish";

class HCURLConnectionOperation : public ns::Operation, public ns::URLConnectionDelegate {
 public:
  enum class State : int { kPaused = -1, kReady = 1, kExecuting = 2, kFinished = 3 };

  // (bytes now, total bytes so far, total bytes expected or -1).
  using ProgressBlock =
      std::function<void(std::int64_t bytes, std::int64_t totalBytes, std::int64_t totalBytesExpected)>;
  // Answers every authentication challenge (server trust and Basic) in place of the operation's own road.
  using AuthenticationChallengeBlock = std::function<ns::URLAuthenticationChallengeAnswer(
      ns::URLConnection& connection, const ns::URLAuthenticationChallenge& challenge)>;
  // Returns what the URL cache is to store of the finished load: the proposed response, a changed copy, or
  // nullopt for nothing.
  using CacheResponseBlock = std::function<std::optional<ns::CachedURLResponse>(
      ns::URLConnection& connection, const ns::CachedURLResponse& proposed)>;
  // Returns the request to follow a redirect with, or std::nullopt to take the redirect response as final.
  using RedirectResponseBlock = std::function<std::optional<ns::URLRequest>(
      ns::URLConnection& connection, const ns::URLRequest& request,
      const ns::HTTPURLResponse& redirectResponse)>;
  using BatchProgressBlock =
      std::function<void(std::size_t numberOfFinishedOperations, std::size_t totalNumberOfOperations)>;
  using BatchCompletionBlock =
      std::function<void(const std::vector<std::shared_ptr<HCURLConnectionOperation>>& operations)>;

  // The thread every connection of the process runs on, started on first use.
  static ns::RunLoopThread& networkRequestThread();

  // Returns `operations` followed by one more operation that depends on them all. Once every operation has
  // finished and run its completion block, `completionBlock` gets the operations on the main queue;
  // `progressBlock` gets the count of finished operations after each one, on its completion queue. Without
  // operations the result is a single operation that queues `completionBlock` with no operations.
  // The operations' completion groups are replaced.
  static std::vector<std::shared_ptr<ns::Operation>> batchOfRequestOperations(
      const std::vector<std::shared_ptr<HCURLConnectionOperation>>& operations,
      BatchProgressBlock progressBlock, BatchCompletionBlock completionBlock);

  // A ready operation for `request`, with the default security policy. Create it with std::make_shared.
  explicit HCURLConnectionOperation(ns::URLRequest request);
  // An operation made from what encodeWithCoder() wrote: its request, then its state (through the
  // transition rules), response, error, body and byte count. Entries of the wrong type are ignored.
  explicit HCURLConnectionOperation(const ns::Dictionary& coder);
  ~HCURLConnectionOperation() override;

  // Pauses the operation, then writes "request", "state" (ready for an executing or paused operation),
  // "response", "error", "responseData" and "totalBytesRead".
  virtual void encodeWithCoder(ns::Dictionary& coder);
  // Returns a new ready operation of this class on the same request, with the progress, challenge, cache
  // and redirect blocks and the completion queue and group; nothing else is carried over.
  virtual std::shared_ptr<HCURLConnectionOperation> copy() const;

  // ns::Operation.
  void start() override;
  void cancel() override;
  bool isReady() const override;
  bool isExecuting() const override { return state_ == State::kExecuting; }
  bool isFinished() const override { return state_ == State::kFinished; }
  bool isConcurrent() const override { return true; }
  // Runs `block` on the completion queue in the completion group once the operation has finished.
  void setCompletionBlock(ns::Task block) override;

  // Stops an executing operation's connection; a ready one just waits. Ignored when paused, finished or
  // cancelled.
  virtual void pause();
  bool isPaused() const { return state_ == State::kPaused; }
  // Makes a paused operation ready and starts it again; ignored otherwise.
  void resume();

  ns::URLRequest request() const;
  // The request's body stream; setting one replaces the request by a copy with that body stream.
  std::shared_ptr<ns::InputStream> inputStream() const;
  void setInputStream(std::shared_ptr<ns::InputStream> stream);
  // Where the body goes: a memory stream unless set. A different stream closes the previous one.
  // REQUIRES: `stream` is not null, and is set before the operation starts.
  std::shared_ptr<ns::OutputStream> outputStream() const;
  void setOutputStream(std::shared_ptr<ns::OutputStream> stream);

  // The final response, once received; nullptr before.
  std::shared_ptr<const ns::URLResponse> response() const;
  // The failure, std::nullopt on success.
  virtual std::optional<ns::Error> error() const;
  // The body once the operation finished loading into a memory stream; std::nullopt while running and for
  // other streams.
  std::optional<ns::Data> responseData() const;
  // The body read in responseStringEncoding(); std::nullopt until there is a response and a body, or when
  // the body is not text in that encoding.
  std::optional<std::string> responseString() const;
  // The character set the response names, UTF-8 when it names none the platform knows; std::nullopt
  // before there is a response.
  std::optional<ns::StringEncoding> responseStringEncoding() const;
  // Body bytes accepted so far; a body that starts over counts from zero again.
  std::int64_t totalBytesRead() const { return totalBytesRead_; }

  std::shared_ptr<HCSecurityPolicy> securityPolicy() const;
  void setSecurityPolicy(std::shared_ptr<HCSecurityPolicy> policy);
  // The credential for challenges other than server trust; none by default.
  std::optional<ns::URLCredential> credential() const;
  void setCredential(std::optional<ns::URLCredential> credential);
  // Whether the shared credential storage answers challenges credential() does not; true by default.
  bool shouldUseCredentialStorage() const;
  void setShouldUseCredentialStorage(bool use);

  // Asks the application for time to finish, unless a background task is already held. When that time runs
  // out, `handler` (may be empty) runs, then the operation is cancelled and the task ended. A task still held
  // when the operation is released is ended then.
  void setShouldExecuteAsBackgroundTaskWithExpirationHandler(std::function<void()> handler);
  // The background task held, or uikit::kBackgroundTaskInvalid.
  uikit::BackgroundTaskIdentifier backgroundTaskIdentifier() const;
  // nullptr: the main queue.
  std::shared_ptr<ns::DispatchQueue> completionQueue() const;
  void setCompletionQueue(std::shared_ptr<ns::DispatchQueue> queue);
  // std::nullopt: one process-wide group.
  std::optional<ns::DispatchGroup> completionGroup() const;
  void setCompletionGroup(std::optional<ns::DispatchGroup> group);
  // The caller's own data; the operation does not read it.
  ns::Dictionary userInfo() const;
  void setUserInfo(ns::Dictionary userInfo);

  // Progress is reported, on the main queue, only while a block is set.
  ProgressBlock uploadProgressBlock() const QM_EXCLUDES(progressMutex_);
  ProgressBlock downloadProgressBlock() const QM_EXCLUDES(progressMutex_);
  void setUploadProgressBlock(ProgressBlock block);
  void setDownloadProgressBlock(ProgressBlock block);
  void setWillSendRequestForAuthenticationChallengeBlock(AuthenticationChallengeBlock block);
  void setRedirectResponseBlock(RedirectResponseBlock block);
  // Decides what the URL cache keeps; without one the proposed response is kept unless the operation was
  // cancelled.
  void setCacheResponseBlock(CacheResponseBlock block);

  // "<Class: 0x..., state: isReady, cancelled: NO request: ..., response: ...>".
  std::string description() const;

 protected:
  // Returns the class name that description() shows.
  virtual std::string className() const { return "HCURLConnectionOperation"; }
  void setRequest(ns::URLRequest request);
  // Runs `task` on the network thread and returns once it has run (at once when already there).
  // REQUIRES: the caller holds no lock that network-thread work takes.
  static void runOnNetworkThreadAndWait(const std::function<void()>& task);
  // Runs `task` on the completion queue (main when none) inside the completion group (a process-wide one
  // when none).
  void dispatchOnCompletionQueue(ns::Task task);
  // The completion group, or the process-wide one when none is set.
  ns::DispatchGroup completionGroupOrProcessWide() const;
  // Runs `block` in place: every completion this class installs only queues work onward.
  void dispatchCompletionBlock(ns::Task block) override;
  // Copies what copy() carries over into `target`.
  void copyPropertiesInto(HCURLConnectionOperation& target) const;
  // Drops the body received so far, so that the next byte starts it afresh. Returns false, having failed the
  // operation, when its stream cannot start over. REQUIRES: on the network thread.
  bool discardReceivedBody(ns::URLConnection& connection);
  // Returns a strong reference to this operation.
  template <typename T = HCURLConnectionOperation>
  std::shared_ptr<T> retainedSelf() {
    return std::static_pointer_cast<T>(shared_from_this());
  }

  // Takes a response that answered no challenge: keeps it as the operation's response.
  virtual void didReceiveFinalResponse(ns::URLConnection& connection,
                                       std::shared_ptr<const ns::URLResponse> response);

  // ns::URLConnectionDelegate, on the network thread.
  TrustDecision shouldTrustServer(ns::URLConnection& connection, ns::ServerTrust& trust,
                                  const std::string& host) override;
  std::optional<ns::URLRequest> willSendRequest(ns::URLConnection& connection, ns::URLRequest proposed,
                                                const ns::HTTPURLResponse& redirectResponse) override;
  void didSendBodyData(ns::URLConnection& connection, std::int64_t bytesWritten,
                       std::int64_t totalBytesWritten, std::int64_t totalBytesExpectedToWrite) override;
  // Sends the request again when the response is a Basic challenge answered with a credential; otherwise
  // didReceiveFinalResponse().
  void didReceiveResponse(ns::URLConnection& connection,
                          std::shared_ptr<const ns::URLResponse> response) override;
  DataDisposition didReceiveData(ns::URLConnection& connection, const std::uint8_t* bytes,
                                 std::size_t length) override;
  std::optional<ns::CachedURLResponse> willCacheResponse(ns::URLConnection& connection,
                                                         ns::CachedURLResponse proposed) override;
  void didFinishLoading(ns::URLConnection& connection) override;
  void didFailWithError(ns::URLConnection& connection, const ns::Error& error) override;

 private:
  // A change of state made under lock_, to be announced once lock_ is released.
  struct StateChange {
    State from;
    State to;
  };

  // Applies `state` when the transition table allows it and announces it; returns whether it did.
  // REQUIRES: lock_ not held.
  bool setState(State state) QM_EXCLUDES(lock_);
  // Applies `state` when the transition table allows it; returns the change to announce, or nullopt.
  // REQUIRES: lock_ held.
  std::optional<StateChange> changeStateLocked(State state) QM_REQUIRES(lock_);
  // Tells the key observers of `change` (nothing for nullopt). REQUIRES: lock_ not held.
  void announceStateChange(const std::optional<StateChange>& change) QM_EXCLUDES(lock_);
  bool canChangeState(State to) const;
  void postNotificationOnMainQueue(const char* name);

  // The answer to `challenge`: the block's, else the road the header describes.
  ns::URLAuthenticationChallengeAnswer answerChallenge(ns::URLConnection& connection,
                                                       const ns::URLAuthenticationChallenge& challenge);
  // Answers `response` when it is a Basic challenge; returns true when the operation took it (sent again
  // with a credential, or ended), false when it is the final response. REQUIRES: on the network thread.
  bool answerBasicChallenge(ns::URLConnection& connection,
                            const std::shared_ptr<const ns::URLResponse>& response);
  // Ends the background task held, if any.
  void endBackgroundTask();

  // Network-thread steps.
  void operationDidStart();
  void operationDidPause();
  void cancelConnection();
  // Ends the operation with `error`: the stream is closed and the connection dropped. REQUIRES: lock_ not
  // held.
  void failWithError(const ns::Error& error) QM_EXCLUDES(lock_);
  // As failWithError(), returning the change to announce. REQUIRES: lock_ held.
  std::optional<StateChange> failLocked(const ns::Error& error) QM_REQUIRES(lock_);
  // Cancels `connection`, then as failLocked(). REQUIRES: lock_ held.
  std::optional<StateChange> cancelAndFailLocked(ns::URLConnection& connection, const ns::Error& error)
      QM_REQUIRES(lock_);
  // Writes what the connection delivered; a failure sets `failed` to the change to announce.
  // REQUIRES: lock_ not held.
  DataDisposition takeData(ns::URLConnection& connection, const std::uint8_t* bytes, std::size_t length,
                           std::optional<StateChange>& failed) QM_EXCLUDES(lock_);
  // Writes what the stream could not take yet; returns false when the stream failed. REQUIRES: lock_ held.
  bool writePendingBody() QM_REQUIRES(lock_);
  // Sets the stream's space handler, once for the operation. REQUIRES: lock_ held.
  void listenForSpace() QM_REQUIRES(lock_);
  // Waits for the stream to gain space, then writes the held-back bytes and asks the connection for more
  // (or finishes, when loading had ended).
  void waitForSpace();
  void streamDidGainSpace();
  // Keeps the body and finishes; returns the change to announce. REQUIRES: lock_ held.
  std::optional<StateChange> finishLoadingLocked() QM_REQUIRES(lock_);
  // REQUIRES: lock_ held.
  std::optional<ns::StringEncoding> responseStringEncodingLocked() const QM_REQUIRES(lock_);

  // Held while the state changes and around every field guarded below; never while observers, blocks or
  // other locking methods of this class are called.
  mutable ns::Mutex lock_;

  std::atomic<State> state_{State::kReady};
  std::atomic<std::int64_t> totalBytesRead_{0};  // Changed on the network thread

  ns::URLRequest request_ QM_GUARDED_BY(lock_);
  std::shared_ptr<const ns::URLResponse> response_ QM_GUARDED_BY(lock_);
  std::optional<ns::Error> error_ QM_GUARDED_BY(lock_);
  std::optional<ns::Data> responseData_ QM_GUARDED_BY(lock_);
  mutable std::optional<std::string> responseString_ QM_GUARDED_BY(lock_);
  std::shared_ptr<ns::OutputStream> outputStream_ QM_GUARDED_BY(lock_);
  std::shared_ptr<ns::URLConnection> connection_ QM_GUARDED_BY(lock_);
  std::shared_ptr<HCSecurityPolicy> securityPolicy_ QM_GUARDED_BY(lock_);
  std::shared_ptr<ns::DispatchQueue> completionQueue_ QM_GUARDED_BY(lock_);
  std::optional<ns::DispatchGroup> completionGroup_ QM_GUARDED_BY(lock_);
  ns::Dictionary userInfo_ QM_GUARDED_BY(lock_);
  AuthenticationChallengeBlock authenticationChallenge_ QM_GUARDED_BY(lock_);
  std::optional<ns::URLCredential> credential_ QM_GUARDED_BY(lock_);
  bool shouldUseCredentialStorage_ QM_GUARDED_BY(lock_) = true;
  uikit::BackgroundTaskIdentifier backgroundTaskIdentifier_ QM_GUARDED_BY(lock_) =
      uikit::kBackgroundTaskInvalid;
  RedirectResponseBlock redirectResponse_ QM_GUARDED_BY(lock_);
  CacheResponseBlock cacheResponse_ QM_GUARDED_BY(lock_);

  // A lock of its own, so that progress reports on the main queue never wait for network-thread work done
  // under lock_. Held only to read or replace a block.
  mutable ns::Mutex progressMutex_;
  ProgressBlock uploadProgress_ QM_GUARDED_BY(progressMutex_);
  ProgressBlock downloadProgress_ QM_GUARDED_BY(progressMutex_);

  // Network thread only
  ns::Data pendingBody_;  // bytes the stream has not taken yet, in order
  bool finishWhenBodyWritten_ = false;
  bool waitingForSpace_ = false;
  bool listeningForSpace_ = false;
  int authenticationFailures_ = 0;  // Basic credentials sent since the operation last started
};

}  // namespace http_client
