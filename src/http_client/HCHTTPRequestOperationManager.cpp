#include "http_client/HCHTTPRequestOperationManager.h"

#include "http_client/HCBaseURL.h"
#include "http_client/HCJSONResponseSerializer.h"
#include "http_client/HCObjectAddress.h"
#include "http_client/HCSerializerCoding.h"

namespace http_client {

namespace {

constexpr char kRequestSerializerCodingKey[] = "requestSerializer";
constexpr char kResponseSerializerCodingKey[] = "responseSerializer";

const ns::Value& archivedEntry(const ns::Dictionary& coder, const char* key) {
  static const ns::Value none;
  const auto found = coder.find(key);
  return found != coder.end() ? found->second : none;
}

}  // namespace

std::shared_ptr<HCHTTPRequestOperationManager> HCHTTPRequestOperationManager::manager() {
  return std::make_shared<HCHTTPRequestOperationManager>();
}

HCHTTPRequestOperationManager::HCHTTPRequestOperationManager(std::optional<ns::URL> baseURL)
    : baseURL_(HCBaseURLEndingInSlash(std::move(baseURL))),
      requestSerializer_(HCHTTPRequestSerializer::serializer()),
      responseSerializer_(HCJSONResponseSerializer::serializer()),
      securityPolicy_(HCSecurityPolicy::defaultPolicy()),
      reachabilityManager_(HCNetworkReachabilityManager::sharedManager()),
      operationQueue_(std::make_unique<ns::OperationQueue>()) {
  QM_DCHECK_MAIN_THREAD();
}

HCHTTPRequestOperationManager::HCHTTPRequestOperationManager(const ns::Dictionary& coder)
    : HCHTTPRequestOperationManager(HCArchivedBaseURL(coder)) {
  requestSerializer_ = HCDecodeRequestSerializer(archivedEntry(coder, kRequestSerializerCodingKey));
  responseSerializer_ = HCDecodeResponseSerializer(archivedEntry(coder, kResponseSerializerCodingKey));
}

void HCHTTPRequestOperationManager::encodeWithCoder(ns::Dictionary& coder) const {
  if (baseURL_) {
    coder[kHCBaseURLCodingKey] = baseURL_->absoluteString();
  }
  coder[kRequestSerializerCodingKey] = HCEncodeRequestSerializer(*requestSerializer_);
  coder[kResponseSerializerCodingKey] = HCEncodeResponseSerializer(*responseSerializer_);
}

std::shared_ptr<HCHTTPRequestOperationManager> HCHTTPRequestOperationManager::copy() const {
  auto manager = std::make_shared<HCHTTPRequestOperationManager>(baseURL_);
  manager->setRequestSerializer(requestSerializer_->copy());
  manager->setResponseSerializer(responseSerializer_->copy());
  return manager;
}

std::shared_ptr<HCHTTPRequestOperation> HCHTTPRequestOperationManager::HTTPRequestOperationWithRequest(
    const ns::URLRequest& request, SuccessBlock success, FailureBlock failure) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  // Made with the manager's serializer from the start: a default one would be built only to be replaced.
  auto operation = std::make_shared<HCHTTPRequestOperation>(request, responseSerializer_);
  operation->setSecurityPolicy(securityPolicy_);
  operation->setCredential(credential_);
  operation->setShouldUseCredentialStorage(shouldUseCredentialStorage_);
  operation->setCompletionBlockWithSuccess(std::move(success), std::move(failure));
  operation->setCompletionQueue(completionQueue_);
  operation->setCompletionGroup(completionGroup_);
  return operation;
}

std::string HCHTTPRequestOperationManager::resolvedURLString(std::string_view URLString) const {
  return HCURLStringAgainstBaseURL(baseURL_, URLString);
}

std::shared_ptr<HCHTTPRequestOperation> HCHTTPRequestOperationManager::operationWithBuiltRequest(
    ns::Result<ns::URLRequest> request, SuccessBlock success, FailureBlock failure) {
  if (!request) {
    if (failure) {
      ns::DispatchQueue& queue = completionQueue_ ? *completionQueue_ : ns::DispatchQueue::main();
      queue.async([failure = std::move(failure), error = request.error()] { failure(nullptr, error); });
    }
    return nullptr;
  }
  return HTTPRequestOperationWithRequest(*request, std::move(success), std::move(failure));
}

std::shared_ptr<HCHTTPRequestOperation> HCHTTPRequestOperationManager::HTTPRequestOperationWithHTTPMethod(
    std::string_view method, std::string_view URLString, const std::optional<ns::Dictionary>& parameters,
    SuccessBlock success, FailureBlock failure) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  return operationWithBuiltRequest(
      requestSerializer_->requestWithMethod(method, resolvedURLString(URLString), parameters),
      std::move(success), std::move(failure));
}

std::shared_ptr<HCHTTPRequestOperation> HCHTTPRequestOperationManager::queued(
    std::shared_ptr<HCHTTPRequestOperation> operation) {
  if (operation) {
    operationQueue_->addOperation(operation);
  }
  return operation;
}

std::shared_ptr<HCHTTPRequestOperation> HCHTTPRequestOperationManager::queuedOperation(
    std::string_view method, std::string_view URLString, const std::optional<ns::Dictionary>& parameters,
    SuccessBlock success, FailureBlock failure) {
  return queued(HTTPRequestOperationWithHTTPMethod(method, URLString, parameters, std::move(success),
                                                   std::move(failure)));
}

std::shared_ptr<HCHTTPRequestOperation> HCHTTPRequestOperationManager::GET(
    std::string_view URLString, const std::optional<ns::Dictionary>& parameters, SuccessBlock success,
    FailureBlock failure) {
  return queuedOperation("GET", URLString, parameters, std::move(success), std::move(failure));
}

std::shared_ptr<HCHTTPRequestOperation> HCHTTPRequestOperationManager::POST(
    std::string_view URLString, const std::optional<ns::Dictionary>& parameters, SuccessBlock success,
    FailureBlock failure) {
  return queuedOperation("POST", URLString, parameters, std::move(success), std::move(failure));
}

std::shared_ptr<HCHTTPRequestOperation> HCHTTPRequestOperationManager::POST(
    std::string_view URLString, const std::optional<ns::Dictionary>& parameters,
    const HCHTTPRequestSerializer::ConstructingBodyBlock& block, SuccessBlock success, FailureBlock failure) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  return queued(operationWithBuiltRequest(requestSerializer_->multipartFormRequestWithMethod(
                                              "POST", resolvedURLString(URLString), parameters, block),
                                          std::move(success), std::move(failure)));
}

std::shared_ptr<HCHTTPRequestOperation> HCHTTPRequestOperationManager::PUT(
    std::string_view URLString, const std::optional<ns::Dictionary>& parameters, SuccessBlock success,
    FailureBlock failure) {
  return queuedOperation("PUT", URLString, parameters, std::move(success), std::move(failure));
}

std::shared_ptr<HCHTTPRequestOperation> HCHTTPRequestOperationManager::PATCH(
    std::string_view URLString, const std::optional<ns::Dictionary>& parameters, SuccessBlock success,
    FailureBlock failure) {
  return queuedOperation("PATCH", URLString, parameters, std::move(success), std::move(failure));
}

std::shared_ptr<HCHTTPRequestOperation> HCHTTPRequestOperationManager::DELETE(
    std::string_view URLString, const std::optional<ns::Dictionary>& parameters, SuccessBlock success,
    FailureBlock failure) {
  return queuedOperation("DELETE", URLString, parameters, std::move(success), std::move(failure));
}

std::shared_ptr<HCHTTPRequestOperation> HCHTTPRequestOperationManager::HEAD(
    std::string_view URLString, const std::optional<ns::Dictionary>& parameters, HeadSuccessBlock success,
    FailureBlock failure) {
  SuccessBlock successWithoutObject;
  if (success) {
    successWithoutObject = [success = std::move(success)](
                               const std::shared_ptr<HCHTTPRequestOperation>& operation,
                               const std::optional<ns::Value>&) { success(operation); };
  }
  return queuedOperation("HEAD", URLString, parameters, std::move(successWithoutObject), std::move(failure));
}

std::string HCHTTPRequestOperationManager::description() const {
  return "<HCHTTPRequestOperationManager: " + HCObjectAddress(this) +
         ", baseURL: " + (baseURL_ ? baseURL_->absoluteString() : "(null)") +
         ", operationQueue: " + HCObjectAddress(operationQueue_.get()) + ">";
}

}  // namespace http_client
