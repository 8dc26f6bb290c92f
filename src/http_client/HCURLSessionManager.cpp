#include "http_client/HCURLSessionManager.h"

#include <chrono>
#include <condition_variable>

#include "http_client/HCBodyStreamCopy.h"
#include "http_client/HCJSONResponseSerializer.h"
#include "http_client/HCObjectAddress.h"
#include "http_client/HCURLSessionTaskSwizzling.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"

namespace http_client {

namespace {

constexpr char kSessionConfigurationCodingKey[] = "sessionConfiguration";

// Held while any manager creates a task, so that tasks are created one at a time across the process, on the
// caller's thread.
ns::Mutex& creationMutex() {
  static ns::Mutex mutex;
  return mutex;
}

ns::DispatchGroup processWideCompletionGroup() {
  static const ns::DispatchGroup group;
  return group;
}

std::shared_ptr<ns::OperationQueue> serialOperationQueue() {
  auto queue = std::make_shared<ns::OperationQueue>();
  queue->setMaxConcurrentOperationCount(1);
  return queue;
}

}  // namespace

std::shared_ptr<HCURLSessionManager> HCURLSessionManager::manager(
    std::optional<ns::URLSessionConfiguration> configuration) {
  auto manager = std::make_shared<HCURLSessionManager>(Passkey{}, std::move(configuration));
  manager->startSession();
  return manager;
}

std::shared_ptr<HCURLSessionManager> HCURLSessionManager::managerWithCoder(const ns::Dictionary& coder) {
  const auto found = coder.find(kSessionConfigurationCodingKey);
  return manager(found != coder.end() ? ns::URLSessionConfiguration::decoded(found->second) : std::nullopt);
}

HCURLSessionManager::HCURLSessionManager(Passkey, std::optional<ns::URLSessionConfiguration> configuration)
    : configuration_(configuration.value_or(ns::URLSessionConfiguration::defaultSessionConfiguration())),
      operationQueue_(serialOperationQueue()),
      reachabilityManager_(HCNetworkReachabilityManager::sharedManager()),
      taskDescription_(HCObjectAddress(this)),
      responseSerializer_(HCJSONResponseSerializer::serializer()),
      securityPolicy_(HCSecurityPolicy::defaultPolicy()) {
  HCURLSessionTaskSwizzling::install();
}

HCURLSessionManager::~HCURLSessionManager() {
  ns::NotificationCenter::defaultCenter().removeObserver(this);
}

void HCURLSessionManager::startSession() {
  auto self = std::static_pointer_cast<HCURLSessionManager>(shared_from_this());
  session_ = ns::URLSession::sessionWithConfiguration(
      *configuration_, std::weak_ptr<ns::URLSessionDelegate>(self), operationQueue_);
  // A fresh session has no tasks of its own yet, so there are none to give delegates to.
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  center.addObserver(self, &HCURLSessionManager::taskDidResume,
                     kHCNetworkingURLSessionTaskDidResumeNotification, nullptr);
  center.addObserver(self, &HCURLSessionManager::taskDidSuspend,
                     kHCNetworkingURLSessionTaskDidSuspendNotification, nullptr);
}

void HCURLSessionManager::encodeWithCoder(ns::Dictionary& coder) const {
  coder[kSessionConfigurationCodingKey] = session_->configuration().encoded();
}

std::shared_ptr<HCURLSessionManager> HCURLSessionManager::copy() const {
  return manager(session_->configuration());
}

std::shared_ptr<HCHTTPResponseSerializer> HCURLSessionManager::responseSerializer() const {
  ns::MutexLock lock(settingsMutex_);
  return responseSerializer_;
}

void HCURLSessionManager::setResponseSerializer(std::shared_ptr<HCHTTPResponseSerializer> serializer) {
  QM_DCHECK(serializer != nullptr, "serializer is not null");
  ns::MutexLock lock(settingsMutex_);
  responseSerializer_ = std::move(serializer);
}

std::shared_ptr<HCSecurityPolicy> HCURLSessionManager::securityPolicy() const {
  ns::MutexLock lock(settingsMutex_);
  return securityPolicy_;
}

void HCURLSessionManager::setSecurityPolicy(std::shared_ptr<HCSecurityPolicy> policy) {
  ns::MutexLock lock(settingsMutex_);
  securityPolicy_ = std::move(policy);
}

std::shared_ptr<ns::DispatchQueue> HCURLSessionManager::completionQueue() const {
  ns::MutexLock lock(settingsMutex_);
  return completionQueue_;
}

void HCURLSessionManager::setCompletionQueue(std::shared_ptr<ns::DispatchQueue> queue) {
  ns::MutexLock lock(settingsMutex_);
  completionQueue_ = std::move(queue);
}

std::optional<ns::DispatchGroup> HCURLSessionManager::completionGroup() const {
  ns::MutexLock lock(settingsMutex_);
  return completionGroup_;
}

void HCURLSessionManager::setCompletionGroup(std::optional<ns::DispatchGroup> group) {
  ns::MutexLock lock(settingsMutex_);
  completionGroup_ = std::move(group);
}

ns::DispatchGroup HCURLSessionManager::completionGroupOrProcessWide() const {
  return completionGroup().value_or(processWideCompletionGroup());
}

void HCURLSessionManager::dispatchOnCompletionQueue(ns::Task task) const {
  const std::shared_ptr<ns::DispatchQueue> queue = completionQueue();
  (queue ? *queue : ns::DispatchQueue::main()).async(std::move(task));
}

std::shared_ptr<ns::URLSessionTask> HCURLSessionManager::createTask(
    const std::function<std::shared_ptr<ns::URLSessionTask>()>& make) {
  ns::MutexLock lock(creationMutex());
  return make();
}

std::shared_ptr<HCURLSessionManagerTaskDelegate> HCURLSessionManager::registerTask(
    const std::shared_ptr<ns::URLSessionTask>& task, CompletionHandler completionHandler,
    std::shared_ptr<ns::Progress>* progress) {
  auto delegate = std::make_shared<HCURLSessionManagerTaskDelegate>(
      std::static_pointer_cast<HCURLSessionManager>(shared_from_this()), std::move(completionHandler));
  if (progress != nullptr) {
    *progress = delegate->progress();
  }
  task->setTaskDescription(taskDescription_);
  setDelegate(delegate, *task);
  return delegate;
}

void HCURLSessionManager::registerUploadTask(const std::shared_ptr<ns::URLSessionTask>& task,
                                             CompletionHandler completionHandler,
                                             std::shared_ptr<ns::Progress>* progress) {
  const std::shared_ptr<HCURLSessionManagerTaskDelegate> delegate =
      registerTask(task, std::move(completionHandler), progress);
  std::int64_t expected = task->countOfBytesExpectedToSend();
  if (expected == -1) {
    if (const std::optional<std::string> length =
            task->originalRequest().valueForHTTPHeaderField("Content-Length")) {
      expected = std::strtoll(length->c_str(), nullptr, 10);
    }
  }
  ns::Progress& uploadProgress = *delegate->progress();
  uploadProgress.setTotalUnitCount(expected);
  // The handlers hold the task until it completes, when the manager lets its delegate go.
  uploadProgress.setPausingHandler([task] { task->suspend(); });
  uploadProgress.setCancellationHandler([task] { task->cancel(); });
}

std::shared_ptr<ns::URLSessionTask> HCURLSessionManager::dataTaskWithRequest(
    const ns::URLRequest& request, CompletionHandler completionHandler) {
  std::shared_ptr<ns::URLSessionTask> task =
      createTask([&] { return session_->dataTaskWithRequest(request); });
  if (task) {
    registerTask(task, std::move(completionHandler), nullptr);
  }
  return task;
}

std::shared_ptr<ns::URLSessionTask> HCURLSessionManager::uploadTaskWithRequestFromFile(
    const ns::URLRequest& request, std::string path, std::shared_ptr<ns::Progress>* progress,
    CompletionHandler completionHandler) {
  std::shared_ptr<ns::URLSessionTask> task =
      createTask([&] { return session_->uploadTaskWithRequestFromFile(request, std::move(path)); });
  if (task) {
    registerUploadTask(task, std::move(completionHandler), progress);
  }
  return task;
}

std::shared_ptr<ns::URLSessionTask> HCURLSessionManager::uploadTaskWithRequestFromData(
    const ns::URLRequest& request, ns::Data body, std::shared_ptr<ns::Progress>* progress,
    CompletionHandler completionHandler) {
  std::shared_ptr<ns::URLSessionTask> task =
      createTask([&] { return session_->uploadTaskWithRequest(request, std::move(body)); });
  if (task) {
    registerUploadTask(task, std::move(completionHandler), progress);
  }
  return task;
}

std::shared_ptr<ns::URLSessionTask> HCURLSessionManager::uploadTaskWithStreamedRequest(
    const ns::URLRequest& request, std::shared_ptr<ns::Progress>* progress,
    CompletionHandler completionHandler) {
  std::shared_ptr<ns::URLSessionTask> task =
      createTask([&] { return session_->uploadTaskWithStreamedRequest(request); });
  if (task) {
    registerUploadTask(task, std::move(completionHandler), progress);
  }
  return task;
}

std::shared_ptr<ns::URLSessionTask> HCURLSessionManager::downloadTaskWithRequest(
    const ns::URLRequest& request, std::shared_ptr<ns::Progress>* progress, DestinationBlock destination,
    CompletionHandler completionHandler) {
  return registeredDownloadTask(createTask([&] { return session_->downloadTaskWithRequest(request); }),
                                progress, std::move(destination), std::move(completionHandler));
}

std::shared_ptr<ns::URLSessionTask> HCURLSessionManager::downloadTaskWithResumeData(
    const ns::Data& resumeData, std::shared_ptr<ns::Progress>* progress, DestinationBlock destination,
    CompletionHandler completionHandler) {
  return registeredDownloadTask(createTask([&] { return session_->downloadTaskWithResumeData(resumeData); }),
                                progress, std::move(destination), std::move(completionHandler));
}

std::shared_ptr<ns::URLSessionTask> HCURLSessionManager::registeredDownloadTask(
    std::shared_ptr<ns::URLSessionTask> task, std::shared_ptr<ns::Progress>* progress,
    DestinationBlock destination, CompletionHandler completionHandler) {
  if (!task) {
    return nullptr;
  }
  const std::shared_ptr<HCURLSessionManagerTaskDelegate> delegate =
      registerTask(task, std::move(completionHandler), progress);
  if (destination) {
    delegate->setDownloadTaskDidFinishDownloading(
        [destination = std::move(destination)](ns::URLSession&, ns::URLSessionTask& finished,
                                               const std::string& temporaryPath) {
          return destination(temporaryPath, finished.response());
        });
  }
  return task;
}

std::shared_ptr<HCURLSessionManagerTaskDelegate> HCURLSessionManager::delegateForTask(
    const ns::URLSessionTask& task) const {
  ns::MutexLock lock(lock_);
  const auto found = taskDelegates_.find(task.taskIdentifier());
  return found != taskDelegates_.end() ? found->second : nullptr;
}

void HCURLSessionManager::setDelegate(std::shared_ptr<HCURLSessionManagerTaskDelegate> delegate,
                                      const ns::URLSessionTask& task) {
  ns::MutexLock lock(lock_);
  taskDelegates_[task.taskIdentifier()] = std::move(delegate);
}

void HCURLSessionManager::removeDelegateForTask(const ns::URLSessionTask& task) {
  ns::MutexLock lock(lock_);
  taskDelegates_.erase(task.taskIdentifier());
}

void HCURLSessionManager::removeAllDelegates() {
  ns::MutexLock lock(lock_);
  taskDelegates_.clear();
}

std::shared_ptr<ns::Progress> HCURLSessionManager::uploadProgressForTask(
    const ns::URLSessionTask& task) const {
  const std::shared_ptr<HCURLSessionManagerTaskDelegate> delegate = delegateForTask(task);
  return delegate ? delegate->progress() : nullptr;
}

std::shared_ptr<ns::Progress> HCURLSessionManager::downloadProgressForTask(
    const ns::URLSessionTask& task) const {
  return uploadProgressForTask(task);
}

ns::URLSession::Tasks HCURLSessionManager::tasksForKeyPath(std::string_view keyPath) const {
  struct Answer {
    ns::Mutex mutex;
    std::condition_variable answered;
    bool done QM_GUARDED_BY(mutex) = false;
    ns::URLSession::Tasks tasks QM_GUARDED_BY(mutex);
  };
  auto answer = std::make_shared<Answer>();
  session_->getTasksWithCompletionHandler(
      [answer, keyPath = std::string(keyPath)](const ns::URLSession::Tasks& dataTasks,
                                               const ns::URLSession::Tasks& uploadTasks,
                                               const ns::URLSession::Tasks& downloadTasks) {
        ns::URLSession::Tasks chosen;
        if (keyPath == "dataTasks" || keyPath == "tasks") {
          chosen.insert(chosen.end(), dataTasks.begin(), dataTasks.end());
        }
        if (keyPath == "uploadTasks" || keyPath == "tasks") {
          chosen.insert(chosen.end(), uploadTasks.begin(), uploadTasks.end());
        }
        if (keyPath == "downloadTasks" || keyPath == "tasks") {
          chosen.insert(chosen.end(), downloadTasks.begin(), downloadTasks.end());
        }
        ns::MutexLock lock(answer->mutex);
        answer->tasks = std::move(chosen);
        answer->done = true;
        answer->answered.notify_all();
      });
  ns::MutexLock lock(answer->mutex);
  while (!answer->done) {
    lock.wait(answer->answered);
  }
  return answer->tasks;
}

ns::URLSession::Tasks HCURLSessionManager::tasks() const {
  return tasksForKeyPath("tasks");
}

ns::URLSession::Tasks HCURLSessionManager::dataTasks() const {
  return tasksForKeyPath("dataTasks");
}

ns::URLSession::Tasks HCURLSessionManager::uploadTasks() const {
  return tasksForKeyPath("uploadTasks");
}

ns::URLSession::Tasks HCURLSessionManager::downloadTasks() const {
  return tasksForKeyPath("downloadTasks");
}

void HCURLSessionManager::invalidateSessionCancelingTasks(bool cancelPendingTasks) {
  ns::DispatchQueue::main().async([session = session_, cancelPendingTasks] {
    if (cancelPendingTasks) {
      session->invalidateAndCancel();
    } else {
      session->finishTasksAndInvalidate();
    }
  });
}

void HCURLSessionManager::setSessionDidBecomeInvalidBlock(SessionDidBecomeInvalidBlock block) {
  ns::MutexLock lock(settingsMutex_);
  sessionDidBecomeInvalid_ = std::move(block);
}

void HCURLSessionManager::setSessionDidReceiveAuthenticationChallengeBlock(
    SessionDidReceiveAuthenticationChallengeBlock block) {
  ns::MutexLock lock(settingsMutex_);
  sessionDidReceiveAuthenticationChallenge_ = std::move(block);
}

void HCURLSessionManager::setTaskNeedNewBodyStreamBlock(TaskNeedNewBodyStreamBlock block) {
  ns::MutexLock lock(settingsMutex_);
  taskNeedNewBodyStream_ = std::move(block);
}

void HCURLSessionManager::setTaskWillPerformHTTPRedirectionBlock(TaskWillPerformHTTPRedirectionBlock block) {
  ns::MutexLock lock(settingsMutex_);
  taskWillPerformHTTPRedirection_ = std::move(block);
}

void HCURLSessionManager::setTaskDidReceiveAuthenticationChallengeBlock(
    TaskDidReceiveAuthenticationChallengeBlock block) {
  ns::MutexLock lock(settingsMutex_);
  taskDidReceiveAuthenticationChallenge_ = std::move(block);
}

void HCURLSessionManager::setTaskDidSendBodyDataBlock(TaskDidSendBodyDataBlock block) {
  ns::MutexLock lock(settingsMutex_);
  taskDidSendBodyData_ = std::move(block);
}

void HCURLSessionManager::setTaskDidCompleteBlock(TaskDidCompleteBlock block) {
  ns::MutexLock lock(settingsMutex_);
  taskDidComplete_ = std::move(block);
}

void HCURLSessionManager::setDataTaskDidReceiveResponseBlock(DataTaskDidReceiveResponseBlock block) {
  ns::MutexLock lock(settingsMutex_);
  dataTaskDidReceiveResponse_ = std::move(block);
}

void HCURLSessionManager::setDataTaskWillCacheResponseBlock(DataTaskWillCacheResponseBlock block) {
  ns::MutexLock lock(settingsMutex_);
  dataTaskWillCacheResponse_ = std::move(block);
}

void HCURLSessionManager::setDataTaskDidBecomeDownloadTaskBlock(DataTaskDidBecomeDownloadTaskBlock block) {
  ns::MutexLock lock(settingsMutex_);
  dataTaskDidBecomeDownloadTask_ = std::move(block);
}

void HCURLSessionManager::setDataTaskDidReceiveDataBlock(DataTaskDidReceiveDataBlock block) {
  ns::MutexLock lock(settingsMutex_);
  dataTaskDidReceiveData_ = std::move(block);
}

void HCURLSessionManager::setDownloadTaskDidFinishDownloadingBlock(
    DownloadTaskDidFinishDownloadingBlock block) {
  ns::MutexLock lock(settingsMutex_);
  downloadTaskDidFinishDownloading_ = std::move(block);
}

void HCURLSessionManager::setDownloadTaskDidWriteDataBlock(DownloadTaskDidWriteDataBlock block) {
  ns::MutexLock lock(settingsMutex_);
  downloadTaskDidWriteData_ = std::move(block);
}

void HCURLSessionManager::setDownloadTaskDidResumeBlock(DownloadTaskDidResumeBlock block) {
  ns::MutexLock lock(settingsMutex_);
  downloadTaskDidResume_ = std::move(block);
}

std::string HCURLSessionManager::description() const {
  return "<" + className() + ": " + HCObjectAddress(this) + ", session: " + session_->description() +
         ", operationQueue: " + HCObjectAddress(operationQueue_.get()) + ">";
}

bool HCURLSessionManager::answers(Callback callback) const {
  ns::MutexLock lock(settingsMutex_);
  switch (callback) {
    case Callback::kWillPerformHTTPRedirection:
      return static_cast<bool>(taskWillPerformHTTPRedirection_);
    case Callback::kDidReceiveResponse:
      return static_cast<bool>(dataTaskDidReceiveResponse_);
    case Callback::kWillCacheResponse:
      return static_cast<bool>(dataTaskWillCacheResponse_);
    case Callback::kDidReceiveChallenge:
    case Callback::kTaskDidReceiveChallenge:
    case Callback::kNeedNewBodyStream:
      break;
  }
  return true;
}

void HCURLSessionManager::didBecomeInvalidWithError(ns::URLSession& session,
                                                    const std::optional<ns::Error>& error) {
  const SessionDidBecomeInvalidBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return sessionDidBecomeInvalid_;
  }();
  if (block) {
    block(session, error);
  }
  removeAllDelegates();
  ns::NotificationCenter::defaultCenter().postNotificationName(
      kHCURLSessionDidInvalidateNotification,
      std::static_pointer_cast<ns::URLSession>(session.shared_from_this()));
}

ns::URLAuthenticationChallengeAnswer HCURLSessionManager::judgeChallenge(
    const ns::URLAuthenticationChallenge& challenge) const {
  const ns::URLProtectionSpace& space = challenge.protectionSpace;
  if (space.authenticationMethod != ns::kURLAuthenticationMethodServerTrust || !space.serverTrust) {
    return {ns::URLSessionAuthChallengeDisposition::kPerformDefaultHandling, std::nullopt};
  }
  if (!securityPolicy()->evaluateServerTrust(*space.serverTrust, space.host)) {
    return {ns::URLSessionAuthChallengeDisposition::kCancelAuthenticationChallenge, std::nullopt};
  }
  return {ns::URLSessionAuthChallengeDisposition::kUseCredential,
          ns::URLCredential::forTrust(space.serverTrust)};
}

ns::URLAuthenticationChallengeAnswer HCURLSessionManager::didReceiveChallenge(
    ns::URLSession& session, const ns::URLAuthenticationChallenge& challenge) {
  const SessionDidReceiveAuthenticationChallengeBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return sessionDidReceiveAuthenticationChallenge_;
  }();
  if (!block) {
    return judgeChallenge(challenge);
  }
  ns::URLAuthenticationChallengeAnswer answer;
  answer.disposition = block(session, challenge, answer.credential);
  return answer;
}

ns::URLAuthenticationChallengeAnswer HCURLSessionManager::taskDidReceiveChallenge(
    ns::URLSession& session, ns::URLSessionTask& task, const ns::URLAuthenticationChallenge& challenge) {
  const TaskDidReceiveAuthenticationChallengeBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return taskDidReceiveAuthenticationChallenge_;
  }();
  if (!block) {
    return judgeChallenge(challenge);
  }
  ns::URLAuthenticationChallengeAnswer answer;
  answer.disposition = block(session, task, challenge, answer.credential);
  return answer;
}

std::optional<ns::URLRequest> HCURLSessionManager::willPerformHTTPRedirection(
    ns::URLSession& session, ns::URLSessionTask& task, const ns::HTTPURLResponse& response,
    ns::URLRequest proposed) {
  const TaskWillPerformHTTPRedirectionBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return taskWillPerformHTTPRedirection_;
  }();
  return block ? block(session, task, response, proposed) : std::optional(std::move(proposed));
}

std::shared_ptr<ns::InputStream> HCURLSessionManager::needNewBodyStream(ns::URLSession& session,
                                                                        ns::URLSessionTask& task) {
  const TaskNeedNewBodyStreamBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return taskNeedNewBodyStream_;
  }();
  if (block) {
    return block(session, task);
  }
  return HCCopyOfBodyStream(task.originalRequest());
}

void HCURLSessionManager::didSendBodyData(ns::URLSession& session, ns::URLSessionTask& task,
                                          std::int64_t bytesSent, std::int64_t totalBytesSent,
                                          std::int64_t totalBytesExpectedToSend) {
  std::int64_t expected = totalBytesExpectedToSend;
  if (expected == -1) {
    if (const std::optional<std::string> length =
            task.originalRequest().valueForHTTPHeaderField("Content-Length")) {
      expected = std::strtoll(length->c_str(), nullptr, 10);
    }
  }
  if (const std::shared_ptr<HCURLSessionManagerTaskDelegate> delegate = delegateForTask(task)) {
    delegate->progress()->setTotalUnitCount(expected);
    delegate->progress()->setCompletedUnitCount(totalBytesSent);
  }
  const TaskDidSendBodyDataBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return taskDidSendBodyData_;
  }();
  if (block) {
    block(session, task, bytesSent, totalBytesSent, expected);
  }
}

void HCURLSessionManager::didCompleteWithError(ns::URLSession& session, ns::URLSessionTask& task,
                                               const std::optional<ns::Error>& error) {
  if (const std::shared_ptr<HCURLSessionManagerTaskDelegate> delegate = delegateForTask(task)) {
    delegate->didComplete(task, error);
    removeDelegateForTask(task);
  }
  const TaskDidCompleteBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return taskDidComplete_;
  }();
  if (block) {
    block(session, task, error);
  }
}

ns::URLSessionResponseDisposition HCURLSessionManager::didReceiveResponse(
    ns::URLSession& session, ns::URLSessionTask& task,
    const std::shared_ptr<const ns::URLResponse>& response) {
  const DataTaskDidReceiveResponseBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return dataTaskDidReceiveResponse_;
  }();
  return block ? block(session, task, response) : ns::URLSessionResponseDisposition::kAllow;
}

void HCURLSessionManager::didReceiveData(ns::URLSession& session, ns::URLSessionTask& task,
                                         const ns::Data& data) {
  if (const std::shared_ptr<HCURLSessionManagerTaskDelegate> delegate = delegateForTask(task)) {
    delegate->didReceiveData(data);
  }
  const DataTaskDidReceiveDataBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return dataTaskDidReceiveData_;
  }();
  if (block) {
    block(session, task, data);
  }
}

std::optional<ns::CachedURLResponse> HCURLSessionManager::willCacheResponse(ns::URLSession& session,
                                                                            ns::URLSessionTask& task,
                                                                            ns::CachedURLResponse proposed) {
  const DataTaskWillCacheResponseBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return dataTaskWillCacheResponse_;
  }();
  return block ? block(session, task, proposed) : std::optional(std::move(proposed));
}

void HCURLSessionManager::didBecomeDownloadTask(ns::URLSession& session, ns::URLSessionTask& dataTask,
                                                const std::shared_ptr<ns::URLSessionTask>& downloadTask) {
  if (std::shared_ptr<HCURLSessionManagerTaskDelegate> delegate = delegateForTask(dataTask)) {
    removeDelegateForTask(dataTask);
    setDelegate(std::move(delegate), *downloadTask);
  }
  const DataTaskDidBecomeDownloadTaskBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return dataTaskDidBecomeDownloadTask_;
  }();
  if (block) {
    block(session, dataTask, downloadTask);
  }
}

void HCURLSessionManager::didResumeAtOffset(ns::URLSession& session, ns::URLSessionTask& task,
                                            std::int64_t fileOffset, std::int64_t expectedTotalBytes) {
  if (const std::shared_ptr<HCURLSessionManagerTaskDelegate> delegate = delegateForTask(task)) {
    delegate->progress()->setTotalUnitCount(expectedTotalBytes);
    delegate->progress()->setCompletedUnitCount(fileOffset);
  }
  const DownloadTaskDidResumeBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return downloadTaskDidResume_;
  }();
  if (block) {
    block(session, task, fileOffset, expectedTotalBytes);
  }
}

void HCURLSessionManager::didWriteData(ns::URLSession& session, ns::URLSessionTask& task,
                                       std::int64_t bytesWritten, std::int64_t totalBytesWritten,
                                       std::int64_t totalBytesExpectedToWrite) {
  if (const std::shared_ptr<HCURLSessionManagerTaskDelegate> delegate = delegateForTask(task)) {
    delegate->progress()->setTotalUnitCount(totalBytesExpectedToWrite);
    delegate->progress()->setCompletedUnitCount(totalBytesWritten);
  }
  const DownloadTaskDidWriteDataBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return downloadTaskDidWriteData_;
  }();
  if (block) {
    block(session, task, bytesWritten, totalBytesWritten, totalBytesExpectedToWrite);
  }
}

void HCURLSessionManager::didFinishDownloadingToPath(ns::URLSession& session, ns::URLSessionTask& task,
                                                     const std::string& location) {
  const std::shared_ptr<HCURLSessionManagerTaskDelegate> delegate = delegateForTask(task);
  const DownloadTaskDidFinishDownloadingBlock block = [&] {
    ns::MutexLock lock(settingsMutex_);
    return downloadTaskDidFinishDownloading_;
  }();
  if (block) {
    if (std::optional<std::string> destination = block(session, task, location)) {
      if (delegate) {
        delegate->moveDownload(task, location, std::move(*destination));
      }
      return;
    }
  }
  if (delegate) {
    delegate->didFinishDownloading(session, task, location);
  }
}

void HCURLSessionManager::taskDidResume(const ns::Notification& notification) {
  announceOwnTask(notification, kHCNetworkingTaskDidResumeNotification);
}

void HCURLSessionManager::taskDidSuspend(const ns::Notification& notification) {
  announceOwnTask(notification, kHCNetworkingTaskDidSuspendNotification);
}

void HCURLSessionManager::announceOwnTask(const ns::Notification& notification, const char* name) const {
  const std::shared_ptr<ns::URLSessionTask> task = ns::objectAs<ns::URLSessionTask>(notification.object);
  if (!task || task->taskDescription() != taskDescription_) {
    return;
  }
  ns::DispatchQueue::main().async(
      [task, name] { ns::NotificationCenter::defaultCenter().postNotificationName(name, task); });
}

}  // namespace http_client
