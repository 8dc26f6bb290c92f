#pragma once

// ns::URLSessionTask: one load made by a URLSession: a data task (the body delivered to the delegate), an
// upload task (a body sent from data, a file or a stream, the reply delivered as for a data task) or a
// download task (the body written to a temporary file that is handed to the delegate when complete).
//
// A download that fails part-way (not by cancel()) keeps the bytes it stored and puts its resume data
// (URLSessionResumeData.h) under kURLSessionDownloadTaskResumeData in the failure's user info, when the
// reply named a validator to resume against.
//
// A task starts suspended; resume() starts it, on the session's loading thread. suspend() holds it: no more
// of the body is read and no delegate call is made until resume(). cancel() ends it with kURLErrorCancelled.
// States, in the platform's numbering: running (0), suspended (1), canceling (2), completed (3):
//
//   suspended -> running (resume), canceling (cancel)
//   running   -> suspended (suspend), canceling (cancel), completed (the load ended)
//   canceling -> completed
//
// Anything else is ignored; in particular a finished task never runs again. Loads go through URLConnection,
// so they follow its rules: the network link, the loads allowed per server, redirects, TLS judged per
// connection.
//
// Observable keys (KeyValueObservable, announced on the thread that made the change): "state",
// "countOfBytesSent", "countOfBytesExpectedToSend", "countOfBytesReceived", "countOfBytesExpectedToReceive".
//
// Thread-safety: every public method may be called from any thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/notify/KeyValueObservable.h"
#include "platform/foundation/values/Error.h"
#include "platform/foundation/values/Object.h"
#include "platform/net/URLConnection.h"
#include "platform/net/URLConnectionDelegate.h"
#include "platform/net/URLRequest.h"
#include "platform/net/URLResponse.h"
#include "platform/net/URLSessionResumeData.h"

namespace ns {

class URLSession;
class URLSessionDelegate;
class URLSessionDownloadFile;

enum class URLSessionTaskState : int { kRunning = 0, kSuspended = 1, kCanceling = 2, kCompleted = 3 };
enum class URLSessionTaskKind { kData, kUpload, kDownload };

class URLSessionTask : public Object, public KeyValueObservable, private URLConnectionDelegate {
 public:
  // Where an upload task's body comes from.
  enum class BodySource { kNone, kData, kFile, kStream };
  enum class Transition { kResumed, kSuspended };
  // Told of every task's resume() that took it from suspended to running, and of every suspend() that took
  // it from running to suspended, on the calling thread after the change.
  using TransitionHook =
      std::function<void(const std::shared_ptr<URLSessionTask>& task, Transition transition)>;

  // Installs the process's one transition hook, replacing any earlier one (an empty hook removes it).
  static void setTransitionHook(TransitionHook hook);

  // Use the URLSession's task factories.
  URLSessionTask(std::weak_ptr<URLSession> session, std::uint64_t identifier, URLSessionTaskKind kind,
                 URLRequest request, BodySource bodySource, std::string bodyFile);
  ~URLSessionTask() override;

  // Unique among the tasks of its session.
  std::uint64_t taskIdentifier() const { return identifier_; }
  URLSessionTaskKind kind() const { return kind_; }
  // The request the task was made with.
  const URLRequest& originalRequest() const { return originalRequest_; }
  // The request being loaded: the original one or the redirect followed last.
  URLRequest currentRequest() const;
  // The final response, once it came; nullptr before.
  std::shared_ptr<const URLResponse> response() const;
  // The failure the task ended with, once completed; nullopt otherwise.
  std::optional<Error> error() const;
  URLSessionTaskState state() const;
  // The caller's own text about the task; the session does not read it.
  std::string taskDescription() const;
  void setTaskDescription(std::string description);

  std::int64_t countOfBytesSent() const { return bytesSent_; }
  // -1 when unknown.
  std::int64_t countOfBytesExpectedToSend() const { return bytesExpectedToSend_; }
  std::int64_t countOfBytesReceived() const { return bytesReceived_; }
  // -1 until a response announces a length.
  std::int64_t countOfBytesExpectedToReceive() const { return bytesExpectedToReceive_; }

  void resume();
  void suspend();
  void cancel();

  Value valueForKey(std::string_view key) const override;
  // "<URLSessionTask: 0x...> { taskIdentifier: N } { state: running }".
  std::string description() const;

 private:
  friend class URLSession;

  // Moves the state to `to` when it is one of `from`, and announces it; returns whether it moved.
  // REQUIRES: mutex_ not held.
  bool changeState(std::initializer_list<URLSessionTaskState> from, URLSessionTaskState to)
      QM_EXCLUDES(mutex_);
  void setCount(std::atomic<std::int64_t>& count, std::string_view key, std::int64_t value);
  std::shared_ptr<URLSessionTask> retainedSelf();
  // The idle time-out of the request being loaded, which also bounds the wait for a delegate's decision.
  double decisionTimeout() const;

  // Loading-thread steps.
  // Starts loading, holding `session` (nullptr when it is gone) and its `delegate` (as resume() found it)
  // until completion.
  void startLoading(std::shared_ptr<URLSession> session, std::shared_ptr<URLSessionDelegate> delegate);
  void sendRequest(URLRequest request);
  // Returns a copy of `request` whose body can be sent (again); nullopt when no fresh body can be had.
  std::optional<URLRequest> withFreshBody(URLRequest request);
  // Lets a resumed task go on: the outcome held back meanwhile, or the body.
  void release();
  void stopLoading();
  // Ends the load: the outcome waits while the task is held back.
  void endLoading(std::optional<Error> error);
  // Completes the task with `error` and tells the delegate.
  void complete(std::optional<Error> error);
  // Opens the file a download's body goes to: the stored bytes of its resume data when `response` continues
  // them, else a new file; ends the load when no file can be opened, and asks for the whole body again when
  // a partial reply does not continue the stored bytes.
  void openDownloadFile(URLConnection& connection, const std::shared_ptr<const URLResponse>& response);
  // Hands the load to a new download task (a response answered kBecomeDownload); the data task completes.
  void becomeDownload(URLConnection& connection, const std::shared_ptr<const URLResponse>& response);
  // `error` with the resume data of the bytes stored so far, when the reply can be resumed.
  Error withResumeData(Error error);
  // Asks the delegate to answer a 401 reply; returns true when the request is sent again with a credential.
  bool answerBasicChallenge(URLConnection& connection,
                            const std::shared_ptr<const HTTPURLResponse>& response);

  // URLConnectionDelegate, on the loading thread.
  TrustDecision shouldTrustServer(URLConnection& connection, ServerTrust& trust,
                                  const std::string& host) override;
  std::optional<URLRequest> willSendRequest(URLConnection& connection, URLRequest proposed,
                                            const HTTPURLResponse& redirectResponse) override;
  void didSendBodyData(URLConnection& connection, std::int64_t bytesWritten, std::int64_t totalBytesWritten,
                       std::int64_t totalBytesExpectedToWrite) override;
  void didReceiveResponse(URLConnection& connection, std::shared_ptr<const URLResponse> response) override;
  DataDisposition didReceiveData(URLConnection& connection, const std::uint8_t* bytes,
                                 std::size_t length) override;
  std::optional<CachedURLResponse> willCacheResponse(URLConnection& connection,
                                                     CachedURLResponse proposed) override;
  void didFinishLoading(URLConnection& connection) override;
  void didFailWithError(URLConnection& connection, const Error& error) override;

  // Constant after construction
  const std::weak_ptr<URLSession> session_;
  const std::uint64_t identifier_;
  const URLSessionTaskKind kind_;
  const URLRequest originalRequest_;
  const BodySource bodySource_;
  const std::string bodyFile_;

  mutable Mutex mutex_;
  URLSessionTaskState state_ QM_GUARDED_BY(mutex_) = URLSessionTaskState::kSuspended;
  URLRequest currentRequest_ QM_GUARDED_BY(mutex_);
  std::shared_ptr<const URLResponse> response_ QM_GUARDED_BY(mutex_);
  std::optional<Error> error_ QM_GUARDED_BY(mutex_);
  std::string taskDescription_ QM_GUARDED_BY(mutex_);

  std::atomic<std::int64_t> bytesSent_{0};
  std::atomic<std::int64_t> bytesExpectedToSend_{-1};
  std::atomic<std::int64_t> bytesReceived_{0};
  std::atomic<std::int64_t> bytesExpectedToReceive_{-1};

  // Loading thread only
  std::shared_ptr<URLSession> runningSession_;  // held from the start of loading to completion
  std::shared_ptr<URLConnection> connection_;
  bool started_ = false;
  bool ended_ = false;
  bool receivingHeldBack_ = false;                  // the connection waits for resumeReceiving()
  std::optional<std::optional<Error>> pendingEnd_;  // an end that came while held back
  bool challengeCancelled_ = false;  // the delegate cancelled a challenge: the task fails as cancelled
  int basicChallengeFailures_ = 0;
  std::unique_ptr<URLSessionDownloadFile> downloadFile_;
  std::optional<URLSessionResumeData> resumeFrom_;
  std::shared_ptr<URLSessionTask>
      becameDownload_;  // takes the connection's calls once this data task became it  // a download made from
                        // resume data, until its response
};

}  // namespace ns
