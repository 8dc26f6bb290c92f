#pragma once

// HCHTTPRequestOperationManager: the HTTP client object the application talks to. It holds a base URL, a
// request serializer, a response serializer (JSON by default), a security policy, the shared reachability
// manager and an operation queue, and offers one call per HTTP method that builds the request, wraps it in
// an HCHTTPRequestOperation, queues it and returns it. Exactly one of the success and failure blocks of a
// call runs, on the completion queue (the main queue by default).
//
// Thread-safety: the manager takes no lock; use it from one thread (the application uses the main thread).
// Construction reads the device and screen (for the User-Agent), so it happens on the main thread.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "http_client/HCHTTPRequestOperation.h"
#include "http_client/HCHTTPRequestSerializer.h"
#include "http_client/HCHTTPResponseSerializer.h"
#include "http_client/HCNetworkReachabilityManager.h"
#include "http_client/HCSecurityPolicy.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/OperationQueue.h"
#include "platform/net/URL.h"

namespace http_client {

class HCHTTPRequestOperationManager {
 public:
  using SuccessBlock = HCHTTPRequestOperation::SuccessBlock;
  using FailureBlock = HCHTTPRequestOperation::FailureBlock;
  using HeadSuccessBlock = std::function<void(const std::shared_ptr<HCHTTPRequestOperation>& operation)>;

  // Returns a new manager without a base URL.
  static std::shared_ptr<HCHTTPRequestOperationManager> manager();

  // A manager whose relative URL strings resolve against `baseURL` (a "/" is added to a non-empty path that
  // lacks one, so that "x" resolves below it); std::nullopt: URL strings stand on their own.
  explicit HCHTTPRequestOperationManager(std::optional<ns::URL> baseURL = std::nullopt);
  // A manager made from what encodeWithCoder() wrote: the base URL and both serializers.
  explicit HCHTTPRequestOperationManager(const ns::Dictionary& coder);
  HCHTTPRequestOperationManager(const HCHTTPRequestOperationManager&) = delete;
  HCHTTPRequestOperationManager& operator=(const HCHTTPRequestOperationManager&) = delete;

  // Writes "baseURL" (when there is one), "requestSerializer" and "responseSerializer".
  void encodeWithCoder(ns::Dictionary& coder) const;
  // Returns a manager with the same base URL and copies of both serializers; everything else is default.
  std::shared_ptr<HCHTTPRequestOperationManager> copy() const;

  const std::optional<ns::URL>& baseURL() const { return baseURL_; }
  const std::shared_ptr<HCHTTPRequestSerializer>& requestSerializer() const { return requestSerializer_; }
  // REQUIRES: serializer is not null.
  void setRequestSerializer(std::shared_ptr<HCHTTPRequestSerializer> serializer) {
    QM_DCHECK(serializer != nullptr, "serializer is not null");
    requestSerializer_ = std::move(serializer);
  }
  const std::shared_ptr<HCHTTPResponseSerializer>& responseSerializer() const { return responseSerializer_; }
  // REQUIRES: serializer is not null.
  void setResponseSerializer(std::shared_ptr<HCHTTPResponseSerializer> serializer) {
    QM_DCHECK(serializer != nullptr, "serializer is not null");
    responseSerializer_ = std::move(serializer);
  }
  const std::shared_ptr<HCSecurityPolicy>& securityPolicy() const { return securityPolicy_; }
  void setSecurityPolicy(std::shared_ptr<HCSecurityPolicy> policy) { securityPolicy_ = std::move(policy); }
  // Given to every operation made from now on (HCURLConnectionOperation.h); none, and true, by default.
  const std::optional<ns::URLCredential>& credential() const { return credential_; }
  void setCredential(std::optional<ns::URLCredential> credential) { credential_ = std::move(credential); }
  bool shouldUseCredentialStorage() const { return shouldUseCredentialStorage_; }
  void setShouldUseCredentialStorage(bool use) { shouldUseCredentialStorage_ = use; }
  // The shared reachability manager; the manager never starts it.
  const std::shared_ptr<HCNetworkReachabilityManager>& reachabilityManager() const {
    return reachabilityManager_;
  }
  void setReachabilityManager(std::shared_ptr<HCNetworkReachabilityManager> manager) {
    reachabilityManager_ = std::move(manager);
  }
  ns::OperationQueue& operationQueue() const { return *operationQueue_; }
  // nullptr: the main queue.
  const std::shared_ptr<ns::DispatchQueue>& completionQueue() const { return completionQueue_; }
  void setCompletionQueue(std::shared_ptr<ns::DispatchQueue> queue) { completionQueue_ = std::move(queue); }
  // std::nullopt: a process-wide group.
  const std::optional<ns::DispatchGroup>& completionGroup() const { return completionGroup_; }
  void setCompletionGroup(std::optional<ns::DispatchGroup> group) { completionGroup_ = std::move(group); }

  // Returns a new operation on `request` with this manager's response serializer, security policy,
  // completion queue and group and the two blocks. Not queued.
  std::shared_ptr<HCHTTPRequestOperation> HTTPRequestOperationWithRequest(const ns::URLRequest& request,
                                                                          SuccessBlock success,
                                                                          FailureBlock failure);
  // Returns a new operation for `method` on `URLString` (resolved against the base URL) with `parameters`.
  // Not queued. Returns nullptr, having queued `failure` with no operation, when the request serializer
  // refuses the parameters.
  std::shared_ptr<HCHTTPRequestOperation> HTTPRequestOperationWithHTTPMethod(
      std::string_view method, std::string_view URLString, const std::optional<ns::Dictionary>& parameters,
      SuccessBlock success, FailureBlock failure);

  // Build, queue and return an operation for the method, or return nullptr as
  // HTTPRequestOperationWithHTTPMethod() does.
  std::shared_ptr<HCHTTPRequestOperation> GET(std::string_view URLString,
                                              const std::optional<ns::Dictionary>& parameters,
                                              SuccessBlock success, FailureBlock failure);
  std::shared_ptr<HCHTTPRequestOperation> POST(std::string_view URLString,
                                               const std::optional<ns::Dictionary>& parameters,
                                               SuccessBlock success, FailureBlock failure);
  // Builds a multipart POST with the request serializer's multipartFormRequestWithMethod() (the parameters
  // as form fields, then what `block` appends), and queues and returns its operation as POST() does.
  std::shared_ptr<HCHTTPRequestOperation> POST(std::string_view URLString,
                                               const std::optional<ns::Dictionary>& parameters,
                                               const HCHTTPRequestSerializer::ConstructingBodyBlock& block,
                                               SuccessBlock success, FailureBlock failure);
  std::shared_ptr<HCHTTPRequestOperation> PUT(std::string_view URLString,
                                              const std::optional<ns::Dictionary>& parameters,
                                              SuccessBlock success, FailureBlock failure);
  std::shared_ptr<HCHTTPRequestOperation> PATCH(std::string_view URLString,
                                                const std::optional<ns::Dictionary>& parameters,
                                                SuccessBlock success, FailureBlock failure);
  std::shared_ptr<HCHTTPRequestOperation> DELETE(std::string_view URLString,
                                                 const std::optional<ns::Dictionary>& parameters,
                                                 SuccessBlock success, FailureBlock failure);
  // As the others with "HEAD"; `success`, when given, gets the operation alone.
  std::shared_ptr<HCHTTPRequestOperation> HEAD(std::string_view URLString,
                                               const std::optional<ns::Dictionary>& parameters,
                                               HeadSuccessBlock success, FailureBlock failure);

  // "<HCHTTPRequestOperationManager: 0x..., baseURL: ..., operationQueue: 0x...>".
  std::string description() const;

 private:
  // `URLString` resolved against the base URL, when there is one and it resolves.
  std::string resolvedURLString(std::string_view URLString) const;
  // The operation on `request`, or nullptr with `failure` queued when the request could not be built.
  std::shared_ptr<HCHTTPRequestOperation> operationWithBuiltRequest(ns::Result<ns::URLRequest> request,
                                                                    SuccessBlock success,
                                                                    FailureBlock failure);
  std::shared_ptr<HCHTTPRequestOperation> queued(std::shared_ptr<HCHTTPRequestOperation> operation);
  std::shared_ptr<HCHTTPRequestOperation> queuedOperation(std::string_view method, std::string_view URLString,
                                                          const std::optional<ns::Dictionary>& parameters,
                                                          SuccessBlock success, FailureBlock failure);

  const std::optional<ns::URL> baseURL_;
  std::shared_ptr<HCHTTPRequestSerializer> requestSerializer_;
  std::shared_ptr<HCHTTPResponseSerializer> responseSerializer_;
  std::shared_ptr<HCSecurityPolicy> securityPolicy_;
  std::optional<ns::URLCredential> credential_;
  bool shouldUseCredentialStorage_ = true;
  std::shared_ptr<HCNetworkReachabilityManager> reachabilityManager_;
  const std::unique_ptr<ns::OperationQueue> operationQueue_;
  std::shared_ptr<ns::DispatchQueue> completionQueue_;
  std::optional<ns::DispatchGroup> completionGroup_;
  // The one thread the manager is used on: the thread that made it.
  const ns::ThreadChecker ownerThread_;
};

}  // namespace http_client
