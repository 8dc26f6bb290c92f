#pragma once

// HCURLSessionManagerTaskDelegate: what a session manager keeps for one of its tasks while it runs: the body
// received, the task's progress, where a finished download was moved to, and the caller's completion
// handler, which it calls once the manager's response serializer has made an object of the reply.
//
// Thread-safety: its events come on the manager's delegate queue, one at a time; the progress may be read
// from any thread.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/notify/Progress.h"
#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Error.h"
#include "platform/foundation/values/Value.h"
#include "platform/net/URLResponse.h"
#include "platform/net/URLSession.h"

namespace http_client {

class HCURLSessionManager;

class HCURLSessionManagerTaskDelegate {
 public:
  // Gets the response (nullptr when none came), the object the serializer made (or, for a download moved to
  // a destination, that destination's path), and the transport, move or serialization error.
  using CompletionHandler = std::function<void(const std::shared_ptr<const ns::URLResponse>& response,
                                               const std::optional<ns::Value>& responseObject,
                                               const std::optional<ns::Error>& error)>;
  // Returns where to move a finished download from its temporary path, or nullopt to leave it.
  using DownloadDestination = std::function<std::optional<std::string>(
      ns::URLSession& session, ns::URLSessionTask& task, const std::string& temporaryPath)>;

  HCURLSessionManagerTaskDelegate(std::weak_ptr<HCURLSessionManager> manager,
                                  CompletionHandler completionHandler);

  const std::shared_ptr<ns::Progress>& progress() const { return progress_; }
  const std::optional<std::string>& downloadFileURL() const { return downloadFileURL_; }
  void setDownloadTaskDidFinishDownloading(DownloadDestination block) {
    downloadTaskDidFinishDownloading_ = std::move(block);
  }

  void didReceiveData(const ns::Data& data);
  // Moves the finished download where the destination says, when one is set.
  void didFinishDownloading(ns::URLSession& session, ns::URLSessionTask& task, const std::string& location);
  // Moves the temporary file to `destination`, which becomes the task's result; a failed move is announced
  // and fails the task with the move's error.
  void moveDownload(ns::URLSessionTask& task, const std::string& location, std::string destination);
  // Serializes the reply and calls the completion handler, then posts the task's completion notification.
  void didComplete(ns::URLSessionTask& task, const std::optional<ns::Error>& error);

 private:
  // Constant after construction
  const std::weak_ptr<HCURLSessionManager> manager_;
  const CompletionHandler completionHandler_;
  const std::shared_ptr<ns::Progress> progress_;

  ns::Data mutableData_;
  std::optional<std::string> downloadFileURL_;
  std::optional<ns::Error> moveError_;
  DownloadDestination downloadTaskDidFinishDownloading_;
};

}  // namespace http_client
