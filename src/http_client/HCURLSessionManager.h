#pragma once

// HCURLSessionManager: owns one URL session, is its delegate, makes data, upload and download tasks on it
// and keeps an HCURLSessionManagerTaskDelegate for each task it made, which collects the task's body and
// progress and, when the task ends, runs the response serializer and calls the caller's completion handler
// (on the completion queue, the main queue by default, inside the completion group). Server-trust
// challenges are judged by the security policy. Blocks set by the owner take over each session-delegate
// decision. The manager recognises its own tasks by their task description, the text of its own address,
// and turns their resume and suspend announcements (HCURLSessionTaskSwizzling.h) into
// kHCNetworkingTaskDidResumeNotification and kHCNetworkingTaskDidSuspendNotification on the main queue.
//
// Sessions here are never background ones: the callbacks for those do not exist. A
// data task whose response the data-task-did-receive-response block answers kBecomeDownload goes on as a
// download task, keeping its task delegate and completion handler. A failed download's resume data (in the
// error's user info under ns::kURLSessionDownloadTaskResumeData) makes a download of the rest with
// downloadTaskWithResumeData().
//
// Make managers with manager(); releasing one neither cancels its tasks nor invalidates its session, which
// lives while tasks run. Thread-safety: every public method may be called from any thread, except the task
// lists, which wait for the delegate queue and must not be called from it. Blocks are called on the delegate
// queue.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "http_client/HCHTTPResponseSerializer.h"
#include "http_client/HCNetworkReachabilityManager.h"
#include "http_client/HCSecurityPolicy.h"
#include "http_client/HCURLSessionManagerTaskDelegate.h"
#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/DispatchGroup.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/foundation/loop/OperationQueue.h"
#include "platform/foundation/notify/Notification.h"
#include "platform/foundation/notify/Progress.h"
#include "platform/foundation/values/Object.h"
#include "platform/net/URLSession.h"

namespace http_client {

inline constexpr char kHCNetworkingTaskDidResumeNotification[] = "com.httpclient.networking.task.resume";
inline constexpr char kHCNetworkingTaskDidSuspendNotification[] = "com.httpclient.networking.task.suspend";
// Posted on the main queue once the completion handler has run; user info under the keys below.
inline constexpr char kHCNetworkingTaskDidCompleteNotification[] = "com.httpclient.networking.task.complete";
inline constexpr char kHCURLSessionDidInvalidateNotification[] =
    "com.httpclient.networking.session.invalidate";
// Posted on the delegate queue with the download task as object and the move error's user info.
inline constexpr char kHCURLSessionDownloadTaskDidFailToMoveFileNotification[] =
    "com.httpclient.networking.session.download.file-manager-error";

// The archived response serializer (HCSerializerCoding.h).
inline constexpr char kHCNetworkingTaskDidCompleteResponseSerializerKey[] =
    "com.httpclient.networking.task.complete.responseserializer";
// The path a download was moved to.
inline constexpr char kHCNetworkingTaskDidCompleteAssetPathKey[] =
    "com.httpclient.networking.task.complete.assetpath";
// The body received, when no download was moved.
inline constexpr char kHCNetworkingTaskDidCompleteResponseDataKey[] =
    "com.httpclient.networking.complete.finish.responsedata";
inline constexpr char kHCNetworkingTaskDidCompleteSerializedResponseKey[] =
    "com.httpclient.networking.task.complete.serializedresponse";
// The archived error (HCCodingValues.h).
inline constexpr char kHCNetworkingTaskDidCompleteErrorKey[] =
    "com.httpclient.networking.task.complete.error";

class HCURLSessionManager : public ns::Object, public ns::URLSessionDelegate {
 protected:
  struct Passkey {};

 public:
  using CompletionHandler = HCURLSessionManagerTaskDelegate::CompletionHandler;
  // Returns where to move a finished download, from its temporary path and the response.
  using DestinationBlock = std::function<std::optional<std::string>(
      const std::string& temporaryPath, const std::shared_ptr<const ns::URLResponse>& response)>;

  using SessionDidBecomeInvalidBlock = std::function<void(ns::URLSession&, const std::optional<ns::Error>&)>;
  // Returns the disposition and may set the credential.
  using SessionDidReceiveAuthenticationChallengeBlock = std::function<ns::URLSessionAuthChallengeDisposition(
      ns::URLSession&, const ns::URLAuthenticationChallenge&, std::optional<ns::URLCredential>& credential)>;
  using TaskNeedNewBodyStreamBlock =
      std::function<std::shared_ptr<ns::InputStream>(ns::URLSession&, ns::URLSessionTask&)>;
  using TaskWillPerformHTTPRedirectionBlock = std::function<std::optional<ns::URLRequest>(
      ns::URLSession&, ns::URLSessionTask&, const ns::HTTPURLResponse&, const ns::URLRequest&)>;
  using TaskDidReceiveAuthenticationChallengeBlock = std::function<ns::URLSessionAuthChallengeDisposition(
      ns::URLSession&, ns::URLSessionTask&, const ns::URLAuthenticationChallenge&,
      std::optional<ns::URLCredential>& credential)>;
  using TaskDidSendBodyDataBlock =
      std::function<void(ns::URLSession&, ns::URLSessionTask&, std::int64_t, std::int64_t, std::int64_t)>;
  using TaskDidCompleteBlock =
      std::function<void(ns::URLSession&, ns::URLSessionTask&, const std::optional<ns::Error>&)>;
  using DataTaskDidReceiveResponseBlock = std::function<ns::URLSessionResponseDisposition(
      ns::URLSession&, ns::URLSessionTask&, const std::shared_ptr<const ns::URLResponse>&)>;
  // Returns what the URL cache is to store of a data task's load: the proposed response, a changed copy, or
  // nullopt for nothing.
  using DataTaskWillCacheResponseBlock = std::function<std::optional<ns::CachedURLResponse>(
      ns::URLSession&, ns::URLSessionTask&, const ns::CachedURLResponse& proposed)>;
  // (session, data task, the download task it became).
  using DataTaskDidBecomeDownloadTaskBlock =
      std::function<void(ns::URLSession&, ns::URLSessionTask&, const std::shared_ptr<ns::URLSessionTask>&)>;
  using DataTaskDidReceiveDataBlock =
      std::function<void(ns::URLSession&, ns::URLSessionTask&, const ns::Data&)>;
  using DownloadTaskDidFinishDownloadingBlock = HCURLSessionManagerTaskDelegate::DownloadDestination;
  using DownloadTaskDidWriteDataBlock =
      std::function<void(ns::URLSession&, ns::URLSessionTask&, std::int64_t, std::int64_t, std::int64_t)>;
  // (session, download task, file offset, expected total bytes or -1).
  using DownloadTaskDidResumeBlock =
      std::function<void(ns::URLSession&, ns::URLSessionTask&, std::int64_t, std::int64_t)>;

  // Returns a new manager with a session of `configuration` (the default configuration when none).
  static std::shared_ptr<HCURLSessionManager> manager(
      std::optional<ns::URLSessionConfiguration> configuration = std::nullopt);
  // Returns a new manager made from what encodeWithCoder() wrote; the default configuration when it holds
  // none.
  static std::shared_ptr<HCURLSessionManager> managerWithCoder(const ns::Dictionary& coder);
  // Use manager(): the key is the class's and its subclasses', which call startSession() once made.
  HCURLSessionManager(Passkey, std::optional<ns::URLSessionConfiguration> configuration);
  ~HCURLSessionManager() override;

  // Writes the session's configuration under "sessionConfiguration".
  virtual void encodeWithCoder(ns::Dictionary& coder) const;
  // Returns a new manager with the session's configuration; blocks, serializer and security policy are not
  // carried over (the copy has the defaults).
  std::shared_ptr<HCURLSessionManager> copy() const;

  const std::shared_ptr<ns::URLSession>& session() const { return session_; }
  ns::OperationQueue& operationQueue() const { return *operationQueue_; }
  const ns::URLSessionConfiguration& sessionConfiguration() const { return session_->configuration(); }
  // The text of the manager's address, carried by every task it makes.
  const std::string& taskDescriptionForSessionTasks() const { return taskDescription_; }

  std::shared_ptr<HCHTTPResponseSerializer> responseSerializer() const;
  // REQUIRES: serializer is not null.
  void setResponseSerializer(std::shared_ptr<HCHTTPResponseSerializer> serializer);
  std::shared_ptr<HCSecurityPolicy> securityPolicy() const;
  void setSecurityPolicy(std::shared_ptr<HCSecurityPolicy> policy);
  const std::shared_ptr<HCNetworkReachabilityManager>& reachabilityManager() const {
    return reachabilityManager_;
  }
  // nullptr: the main queue.
  std::shared_ptr<ns::DispatchQueue> completionQueue() const;
  void setCompletionQueue(std::shared_ptr<ns::DispatchQueue> queue);
  // nullopt: one process-wide group.
  std::optional<ns::DispatchGroup> completionGroup() const;
  void setCompletionGroup(std::optional<ns::DispatchGroup> group);

  // Each returns the new task, not started (call resume()), or nullptr when the session makes none (once
  // invalidated). `progress`, when given, receives the task's progress.
  std::shared_ptr<ns::URLSessionTask> dataTaskWithRequest(const ns::URLRequest& request,
                                                          CompletionHandler completionHandler);
  std::shared_ptr<ns::URLSessionTask> uploadTaskWithRequestFromFile(const ns::URLRequest& request,
                                                                    std::string path,
                                                                    std::shared_ptr<ns::Progress>* progress,
                                                                    CompletionHandler completionHandler);
  std::shared_ptr<ns::URLSessionTask> uploadTaskWithRequestFromData(const ns::URLRequest& request,
                                                                    ns::Data body,
                                                                    std::shared_ptr<ns::Progress>* progress,
                                                                    CompletionHandler completionHandler);
  std::shared_ptr<ns::URLSessionTask> uploadTaskWithStreamedRequest(const ns::URLRequest& request,
                                                                    std::shared_ptr<ns::Progress>* progress,
                                                                    CompletionHandler completionHandler);
  // A download with `destination` is moved there when complete; its path is then the response object.
  std::shared_ptr<ns::URLSessionTask> downloadTaskWithRequest(const ns::URLRequest& request,
                                                              std::shared_ptr<ns::Progress>* progress,
                                                              DestinationBlock destination,
                                                              CompletionHandler completionHandler);
  // A download of the rest of what `resumeData` (a failed download's, ns::kURLSessionDownloadTaskResumeData)
  // stored; nullptr when it is not resume data.
  std::shared_ptr<ns::URLSessionTask> downloadTaskWithResumeData(const ns::Data& resumeData,
                                                                 std::shared_ptr<ns::Progress>* progress,
                                                                 DestinationBlock destination,
                                                                 CompletionHandler completionHandler);

  // The delegate kept for `task`, or nullptr.
  std::shared_ptr<HCURLSessionManagerTaskDelegate> delegateForTask(const ns::URLSessionTask& task) const;
  void setDelegate(std::shared_ptr<HCURLSessionManagerTaskDelegate> delegate, const ns::URLSessionTask& task);
  void removeDelegateForTask(const ns::URLSessionTask& task);
  void removeAllDelegates();
  // The task's progress, or nullptr for a task the manager does not know.
  std::shared_ptr<ns::Progress> uploadProgressForTask(const ns::URLSessionTask& task) const;
  std::shared_ptr<ns::Progress> downloadProgressForTask(const ns::URLSessionTask& task) const;

  // The session's tasks not yet completed: data, then upload, then download tasks. Waits for the delegate
  // queue. REQUIRES: not called on the delegate queue.
  ns::URLSession::Tasks tasks() const;
  ns::URLSession::Tasks dataTasks() const;
  ns::URLSession::Tasks uploadTasks() const;
  ns::URLSession::Tasks downloadTasks() const;

  // On the main queue, later: invalidates the session, cancelling its tasks or letting them finish.
  void invalidateSessionCancelingTasks(bool cancelPendingTasks);

  void setSessionDidBecomeInvalidBlock(SessionDidBecomeInvalidBlock block);
  void setSessionDidReceiveAuthenticationChallengeBlock(SessionDidReceiveAuthenticationChallengeBlock block);
  void setTaskNeedNewBodyStreamBlock(TaskNeedNewBodyStreamBlock block);
  void setTaskWillPerformHTTPRedirectionBlock(TaskWillPerformHTTPRedirectionBlock block);
  void setTaskDidReceiveAuthenticationChallengeBlock(TaskDidReceiveAuthenticationChallengeBlock block);
  void setTaskDidSendBodyDataBlock(TaskDidSendBodyDataBlock block);
  void setTaskDidCompleteBlock(TaskDidCompleteBlock block);
  void setDataTaskDidReceiveResponseBlock(DataTaskDidReceiveResponseBlock block);
  void setDataTaskDidBecomeDownloadTaskBlock(DataTaskDidBecomeDownloadTaskBlock block);
  void setDataTaskDidReceiveDataBlock(DataTaskDidReceiveDataBlock block);
  void setDataTaskWillCacheResponseBlock(DataTaskWillCacheResponseBlock block);
  void setDownloadTaskDidFinishDownloadingBlock(DownloadTaskDidFinishDownloadingBlock block);
  void setDownloadTaskDidWriteDataBlock(DownloadTaskDidWriteDataBlock block);
  void setDownloadTaskDidResumeBlock(DownloadTaskDidResumeBlock block);

  // "<HCURLSessionManager: 0x..., session: <URLSession: 0x...>, operationQueue: 0x...>".
  virtual std::string description() const;

  // ns::URLSessionDelegate, on the delegate queue. Redirections, responses and what is cached are decided
  // only while their block is set.
  bool answers(Callback callback) const override;
  void didBecomeInvalidWithError(ns::URLSession& session, const std::optional<ns::Error>& error) override;
  ns::URLAuthenticationChallengeAnswer didReceiveChallenge(
      ns::URLSession& session, const ns::URLAuthenticationChallenge& challenge) override;
  ns::URLAuthenticationChallengeAnswer taskDidReceiveChallenge(
      ns::URLSession& session, ns::URLSessionTask& task,
      const ns::URLAuthenticationChallenge& challenge) override;
  std::optional<ns::URLRequest> willPerformHTTPRedirection(ns::URLSession& session, ns::URLSessionTask& task,
                                                           const ns::HTTPURLResponse& response,
                                                           ns::URLRequest proposed) override;
  // The block's stream; without one, a copy of the original request's multipart body, else nullptr.
  std::shared_ptr<ns::InputStream> needNewBodyStream(ns::URLSession& session,
                                                     ns::URLSessionTask& task) override;
  void didSendBodyData(ns::URLSession& session, ns::URLSessionTask& task, std::int64_t bytesSent,
                       std::int64_t totalBytesSent, std::int64_t totalBytesExpectedToSend) override;
  void didCompleteWithError(ns::URLSession& session, ns::URLSessionTask& task,
                            const std::optional<ns::Error>& error) override;
  ns::URLSessionResponseDisposition didReceiveResponse(
      ns::URLSession& session, ns::URLSessionTask& task,
      const std::shared_ptr<const ns::URLResponse>& response) override;
  void didReceiveData(ns::URLSession& session, ns::URLSessionTask& task, const ns::Data& data) override;
  std::optional<ns::CachedURLResponse> willCacheResponse(ns::URLSession& session, ns::URLSessionTask& task,
                                                         ns::CachedURLResponse proposed) override;
  // The data task's delegate goes on as the download task's; then the block.
  void didBecomeDownloadTask(ns::URLSession& session, ns::URLSessionTask& dataTask,
                             const std::shared_ptr<ns::URLSessionTask>& downloadTask) override;
  void didResumeAtOffset(ns::URLSession& session, ns::URLSessionTask& task, std::int64_t fileOffset,
                         std::int64_t expectedTotalBytes) override;
  void didWriteData(ns::URLSession& session, ns::URLSessionTask& task, std::int64_t bytesWritten,
                    std::int64_t totalBytesWritten, std::int64_t totalBytesExpectedToWrite) override;
  void didFinishDownloadingToPath(ns::URLSession& session, ns::URLSessionTask& task,
                                  const std::string& location) override;

 protected:
  // Makes the session, with this manager as its delegate, and starts listening for its tasks.
  void startSession();
  // Runs `task` on the completion queue (main when none).
  void dispatchOnCompletionQueue(ns::Task task) const;
  virtual std::string className() const { return "HCURLSessionManager"; }

 private:
  friend class HCURLSessionManagerTaskDelegate;

  // Creation is serialised across all managers, as the platform requires of task creation.
  std::shared_ptr<ns::URLSessionTask> createTask(
      const std::function<std::shared_ptr<ns::URLSessionTask>()>& make);
  std::shared_ptr<HCURLSessionManagerTaskDelegate> registerTask(
      const std::shared_ptr<ns::URLSessionTask>& task, CompletionHandler completionHandler,
      std::shared_ptr<ns::Progress>* progress);
  // Registers a download task as downloadTaskWithRequest() does; nullptr for no task.
  std::shared_ptr<ns::URLSessionTask> registeredDownloadTask(std::shared_ptr<ns::URLSessionTask> task,
                                                             std::shared_ptr<ns::Progress>* progress,
                                                             DestinationBlock destination,
                                                             CompletionHandler completionHandler);
  void registerUploadTask(const std::shared_ptr<ns::URLSessionTask>& task,
                          CompletionHandler completionHandler, std::shared_ptr<ns::Progress>* progress);
  ns::URLSession::Tasks tasksForKeyPath(std::string_view keyPath) const;
  // Judges a challenge without a block: a server trust by the security policy, anything else by default.
  ns::URLAuthenticationChallengeAnswer judgeChallenge(const ns::URLAuthenticationChallenge& challenge) const;
  void taskDidResume(const ns::Notification& notification);
  void taskDidSuspend(const ns::Notification& notification);
  // Re-posts `notification`'s task under `name` on the main queue when it is one of this manager's.
  void announceOwnTask(const ns::Notification& notification, const char* name) const;
  ns::DispatchGroup completionGroupOrProcessWide() const;

  // Constant after construction (the session after startSession())
  const std::optional<ns::URLSessionConfiguration> configuration_;
  const std::shared_ptr<ns::OperationQueue> operationQueue_;
  const std::shared_ptr<HCNetworkReachabilityManager> reachabilityManager_;
  const std::string taskDescription_;
  std::shared_ptr<ns::URLSession> session_;

  mutable ns::Mutex lock_;  // "com.httpclient.networking.session.manager.lock": the task delegates
  std::map<std::uint64_t, std::shared_ptr<HCURLSessionManagerTaskDelegate>> taskDelegates_
      QM_GUARDED_BY(lock_);

  mutable ns::Mutex settingsMutex_;  // the settings and blocks below, set by the owner and read on the queue
  std::shared_ptr<HCHTTPResponseSerializer> responseSerializer_ QM_GUARDED_BY(settingsMutex_);
  std::shared_ptr<HCSecurityPolicy> securityPolicy_ QM_GUARDED_BY(settingsMutex_);
  std::shared_ptr<ns::DispatchQueue> completionQueue_ QM_GUARDED_BY(settingsMutex_);
  std::optional<ns::DispatchGroup> completionGroup_ QM_GUARDED_BY(settingsMutex_);
  SessionDidBecomeInvalidBlock sessionDidBecomeInvalid_ QM_GUARDED_BY(settingsMutex_);
  SessionDidReceiveAuthenticationChallengeBlock sessionDidReceiveAuthenticationChallenge_
      QM_GUARDED_BY(settingsMutex_);
  TaskNeedNewBodyStreamBlock taskNeedNewBodyStream_ QM_GUARDED_BY(settingsMutex_);
  TaskWillPerformHTTPRedirectionBlock taskWillPerformHTTPRedirection_ QM_GUARDED_BY(settingsMutex_);
  TaskDidReceiveAuthenticationChallengeBlock taskDidReceiveAuthenticationChallenge_
      QM_GUARDED_BY(settingsMutex_);
  TaskDidSendBodyDataBlock taskDidSendBodyData_ QM_GUARDED_BY(settingsMutex_);
  TaskDidCompleteBlock taskDidComplete_ QM_GUARDED_BY(settingsMutex_);
  DataTaskDidReceiveResponseBlock dataTaskDidReceiveResponse_ QM_GUARDED_BY(settingsMutex_);
  DataTaskDidBecomeDownloadTaskBlock dataTaskDidBecomeDownloadTask_ QM_GUARDED_BY(settingsMutex_);
  DataTaskDidReceiveDataBlock dataTaskDidReceiveData_ QM_GUARDED_BY(settingsMutex_);
  DataTaskWillCacheResponseBlock dataTaskWillCacheResponse_ QM_GUARDED_BY(settingsMutex_);
  DownloadTaskDidFinishDownloadingBlock downloadTaskDidFinishDownloading_ QM_GUARDED_BY(settingsMutex_);
  DownloadTaskDidWriteDataBlock downloadTaskDidWriteData_ QM_GUARDED_BY(settingsMutex_);
  DownloadTaskDidResumeBlock downloadTaskDidResume_ QM_GUARDED_BY(settingsMutex_);
};

}  // namespace http_client
