#pragma once

// HCHTTPSessionManager: the HTTP-method front of the session manager: a base URL and a request serializer
// whose GET, HEAD, POST, PUT, PATCH and DELETE build a request, run it as a data task (a multipart POST as a
// streamed upload task) and report to exactly one of a success and a failure block, on the completion queue
// (the main queue by default) inside the completion group. Relative URL strings resolve against the base URL
// as HCBaseURL.h says.
//
// Thread-safety: as HCURLSessionManager; set the serializers before making requests.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "http_client/HCHTTPRequestSerializer.h"
#include "http_client/HCURLSessionManager.h"
#include "platform/net/URL.h"

namespace http_client {

class HCHTTPSessionManager : public HCURLSessionManager {
 public:
  // Gets the task and the response object (none when the serializer made none).
  using SuccessBlock = std::function<void(const std::shared_ptr<ns::URLSessionTask>& task,
                                          const std::optional<ns::Value>& responseObject)>;
  // Gets the task (nullptr when the request could not even be built) and the error.
  using FailureBlock =
      std::function<void(const std::shared_ptr<ns::URLSessionTask>& task, const ns::Error& error)>;
  using HeadSuccessBlock = std::function<void(const std::shared_ptr<ns::URLSessionTask>& task)>;

  // Returns a new manager; without a base URL, URL strings stand on their own.
  static std::shared_ptr<HCHTTPSessionManager> manager(
      std::optional<ns::URL> baseURL = std::nullopt,
      std::optional<ns::URLSessionConfiguration> configuration = std::nullopt);
  // Returns a manager made from what encodeWithCoder() wrote: base URL, configuration and both serializers
  // (each with its defaults when the archive holds none).
  static std::shared_ptr<HCHTTPSessionManager> managerWithCoder(const ns::Dictionary& coder);

  HCHTTPSessionManager(Passkey passkey, std::optional<ns::URL> baseURL,
                       std::optional<ns::URLSessionConfiguration> configuration);

  // The base class's keys, then "baseURL" (when there is one), "requestSerializer" and "responseSerializer".
  void encodeWithCoder(ns::Dictionary& coder) const override;
  // Returns a manager with the same base URL and configuration and copies of both serializers; blocks,
  // security policy and completion queue are not carried over.
  std::shared_ptr<HCHTTPSessionManager> copy() const;

  const std::optional<ns::URL>& baseURL() const { return baseURL_; }
  std::shared_ptr<HCHTTPRequestSerializer> requestSerializer() const;
  // REQUIRES: serializer is not null.
  void setRequestSerializer(std::shared_ptr<HCHTTPRequestSerializer> serializer);

  // Returns a data task, not started, for `method` on `URLString` with `parameters`; returns nullptr, having
  // queued `failure` with no task on the completion queue, when the request serializer refuses them.
  std::shared_ptr<ns::URLSessionTask> dataTaskWithHTTPMethod(std::string_view method,
                                                             std::string_view URLString,
                                                             const std::optional<ns::Dictionary>& parameters,
                                                             SuccessBlock success, FailureBlock failure);

  // Each builds, starts and returns a task as dataTaskWithHTTPMethod() does.
  std::shared_ptr<ns::URLSessionTask> GET(std::string_view URLString,
                                          const std::optional<ns::Dictionary>& parameters,
                                          SuccessBlock success, FailureBlock failure);
  // `success`, when given, gets the task alone.
  std::shared_ptr<ns::URLSessionTask> HEAD(std::string_view URLString,
                                           const std::optional<ns::Dictionary>& parameters,
                                           HeadSuccessBlock success, FailureBlock failure);
  std::shared_ptr<ns::URLSessionTask> POST(std::string_view URLString,
                                           const std::optional<ns::Dictionary>& parameters,
                                           SuccessBlock success, FailureBlock failure);
  // A multipart POST: the parameters as form fields, then what `block` appends, streamed as an upload task.
  std::shared_ptr<ns::URLSessionTask> POST(std::string_view URLString,
                                           const std::optional<ns::Dictionary>& parameters,
                                           const HCHTTPRequestSerializer::ConstructingBodyBlock& block,
                                           SuccessBlock success, FailureBlock failure);
  std::shared_ptr<ns::URLSessionTask> PUT(std::string_view URLString,
                                          const std::optional<ns::Dictionary>& parameters,
                                          SuccessBlock success, FailureBlock failure);
  std::shared_ptr<ns::URLSessionTask> PATCH(std::string_view URLString,
                                            const std::optional<ns::Dictionary>& parameters,
                                            SuccessBlock success, FailureBlock failure);
  std::shared_ptr<ns::URLSessionTask> DELETE(std::string_view URLString,
                                             const std::optional<ns::Dictionary>& parameters,
                                             SuccessBlock success, FailureBlock failure);

  // "<HCHTTPSessionManager: 0x..., baseURL: ..., session: <URLSession: 0x...>, operationQueue: 0x...>".
  std::string description() const override;

 protected:
  std::string className() const override { return "HCHTTPSessionManager"; }

 private:
  // The completion handler that calls `failure` on an error, else `success`, with the task `task` is set to
  // once made (held until the handler has run).
  static CompletionHandler completionCalling(std::shared_ptr<std::shared_ptr<ns::URLSessionTask>> task,
                                             SuccessBlock success, FailureBlock failure);
  // Queues `failure` with the serializer's `error` on the completion queue, outside the group.
  void failWithoutTask(FailureBlock failure, const ns::Error& error) const;
  std::shared_ptr<ns::URLSessionTask> started(std::shared_ptr<ns::URLSessionTask> task);

  // Constant after construction
  const std::optional<ns::URL> baseURL_;

  mutable ns::Mutex serializerMutex_;
  std::shared_ptr<HCHTTPRequestSerializer> requestSerializer_ QM_GUARDED_BY(serializerMutex_);
};

}  // namespace http_client
