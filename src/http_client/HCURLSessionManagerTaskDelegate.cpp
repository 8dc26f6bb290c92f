#include "http_client/HCURLSessionManagerTaskDelegate.h"

#include "http_client/HCCodingValues.h"
#include "http_client/HCSerializerCoding.h"
#include "http_client/HCURLSessionManager.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/FileManager.h"

namespace http_client {

namespace {

// The concurrent queue on which replies are turned into objects.
ns::DispatchQueue& processingQueue() {
  static const std::shared_ptr<ns::DispatchQueue> queue =
      ns::DispatchQueue::createConcurrent("com.httpclient.networking.session.manager.processing");
  return *queue;
}

}  // namespace

HCURLSessionManagerTaskDelegate::HCURLSessionManagerTaskDelegate(std::weak_ptr<HCURLSessionManager> manager,
                                                                 CompletionHandler completionHandler)
    : manager_(std::move(manager)),
      completionHandler_(std::move(completionHandler)),
      progress_(std::make_shared<ns::Progress>()) {}

void HCURLSessionManagerTaskDelegate::didReceiveData(const ns::Data& data) {
  mutableData_.insert(mutableData_.end(), data.begin(), data.end());
}

void HCURLSessionManagerTaskDelegate::didFinishDownloading(ns::URLSession& session, ns::URLSessionTask& task,
                                                           const std::string& location) {
  downloadFileURL_.reset();
  if (!downloadTaskDidFinishDownloading_) {
    return;
  }
  if (std::optional<std::string> destination = downloadTaskDidFinishDownloading_(session, task, location)) {
    moveDownload(task, location, std::move(*destination));
  }
}

void HCURLSessionManagerTaskDelegate::moveDownload(ns::URLSessionTask& task, const std::string& location,
                                                   std::string destination) {
  downloadFileURL_ = std::move(destination);
  const ns::Status moved = ns::FileManager::defaultManager().moveItemAtPath(location, *downloadFileURL_);
  if (moved) {
    return;
  }
  // The file is not where the result says: the task fails with the reason rather than succeed without it.
  moveError_ = moved.error();
  ns::NotificationCenter::defaultCenter().postNotificationName(
      kHCURLSessionDownloadTaskDidFailToMoveFileNotification,
      std::static_pointer_cast<ns::URLSessionTask>(task.shared_from_this()), moved.error().userInfo());
}

void HCURLSessionManagerTaskDelegate::didComplete(ns::URLSessionTask& task,
                                                  const std::optional<ns::Error>& error) {
  const std::shared_ptr<HCURLSessionManager> manager = manager_.lock();
  const auto sessionTask = std::static_pointer_cast<ns::URLSessionTask>(task.shared_from_this());
  const std::shared_ptr<const ns::URLResponse> response = task.response();
  const std::shared_ptr<HCHTTPResponseSerializer> serializer =
      manager ? manager->responseSerializer() : nullptr;
  ns::Dictionary userInfo;
  if (serializer) {
    userInfo[kHCNetworkingTaskDidCompleteResponseSerializerKey] = HCEncodeResponseSerializer(*serializer);
  }
  ns::Data data = std::move(mutableData_);
  if (downloadFileURL_) {
    userInfo[kHCNetworkingTaskDidCompleteAssetPathKey] = *downloadFileURL_;
  } else {
    userInfo[kHCNetworkingTaskDidCompleteResponseDataKey] = data;
  }
  const std::optional<ns::Error> failure = error ? error : moveError_;
  // Without its manager nothing is left to report to.
  if (!manager) {
    return;
  }
  const CompletionHandler handler = completionHandler_;
  auto finish = [manager, sessionTask, response, handler](
                    std::optional<ns::Value> object, std::optional<ns::Error> reported, ns::Dictionary info) {
    manager->completionGroupOrProcessWide().async(
        [&]() -> ns::DispatchQueue& {
          const std::shared_ptr<ns::DispatchQueue> queue = manager->completionQueue();
          return queue ? *queue : ns::DispatchQueue::main();
        }(),
        [sessionTask, response, handler, object = std::move(object), reported = std::move(reported),
         info = std::move(info)] {
          if (handler) {
            handler(response, object, reported);
          }
          ns::DispatchQueue::main().async([sessionTask, info] {
            ns::NotificationCenter::defaultCenter().postNotificationName(
                kHCNetworkingTaskDidCompleteNotification, sessionTask, info);
          });
        });
  };
  if (failure) {
    userInfo[kHCNetworkingTaskDidCompleteErrorKey] = HCEncodeError(*failure);
    finish(std::nullopt, failure, std::move(userInfo));
    return;
  }
  processingQueue().async([finish, serializer, response, data = std::move(data),
                           downloadFileURL = downloadFileURL_, userInfo = std::move(userInfo)]() mutable {
    HCSerializedResponse serialized;
    if (downloadFileURL) {
      // The body is in the file, not in memory: only the response itself is checked, so that an empty body
      // read as JSON never fails a download that arrived whole.
      serialized.responseObject = *downloadFileURL;
      serialized.error = serializer->validateResponse(response, std::nullopt).error;
    } else {
      serialized = serializer->responseObjectForResponse(response, data);
    }
    if (serialized.responseObject) {
      userInfo[kHCNetworkingTaskDidCompleteSerializedResponseKey] = *serialized.responseObject;
    }
    if (serialized.error) {
      userInfo[kHCNetworkingTaskDidCompleteErrorKey] = HCEncodeError(*serialized.error);
    }
    finish(std::move(serialized.responseObject), std::move(serialized.error), std::move(userInfo));
  });
}

}  // namespace http_client
