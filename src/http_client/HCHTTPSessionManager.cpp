#include "http_client/HCHTTPSessionManager.h"

#include "http_client/HCBaseURL.h"
#include "http_client/HCJSONResponseSerializer.h"
#include "http_client/HCObjectAddress.h"
#include "http_client/HCSerializerCoding.h"
#include "platform/foundation/check/Check.h"

namespace http_client {

namespace {

constexpr char kSessionConfigurationCodingKey[] = "sessionConfiguration";
constexpr char kRequestSerializerCodingKey[] = "requestSerializer";
constexpr char kResponseSerializerCodingKey[] = "responseSerializer";

const ns::Value& archivedEntry(const ns::Dictionary& coder, const char* key) {
  static const ns::Value none;
  const auto found = coder.find(key);
  return found != coder.end() ? found->second : none;
}

}  // namespace

std::shared_ptr<HCHTTPSessionManager> HCHTTPSessionManager::manager(
    std::optional<ns::URL> baseURL, std::optional<ns::URLSessionConfiguration> configuration) {
  auto manager =
      std::make_shared<HCHTTPSessionManager>(Passkey{}, std::move(baseURL), std::move(configuration));
  manager->startSession();
  return manager;
}

std::shared_ptr<HCHTTPSessionManager> HCHTTPSessionManager::managerWithCoder(const ns::Dictionary& coder) {
  std::shared_ptr<HCHTTPSessionManager> decoded =
      manager(HCArchivedBaseURL(coder),
              ns::URLSessionConfiguration::decoded(archivedEntry(coder, kSessionConfigurationCodingKey)));
  decoded->setRequestSerializer(HCDecodeRequestSerializer(archivedEntry(coder, kRequestSerializerCodingKey)));
  decoded->setResponseSerializer(
      HCDecodeResponseSerializer(archivedEntry(coder, kResponseSerializerCodingKey)));
  return decoded;
}

HCHTTPSessionManager::HCHTTPSessionManager(Passkey passkey, std::optional<ns::URL> baseURL,
                                           std::optional<ns::URLSessionConfiguration> configuration)
    : HCURLSessionManager(passkey, std::move(configuration)),
      baseURL_(HCBaseURLEndingInSlash(std::move(baseURL))),
      requestSerializer_(HCHTTPRequestSerializer::serializer()) {
  setResponseSerializer(HCJSONResponseSerializer::serializer());
}

void HCHTTPSessionManager::encodeWithCoder(ns::Dictionary& coder) const {
  HCURLSessionManager::encodeWithCoder(coder);
  if (baseURL_) {
    coder[kHCBaseURLCodingKey] = baseURL_->absoluteString();
  }
  coder[kRequestSerializerCodingKey] = HCEncodeRequestSerializer(*requestSerializer());
  coder[kResponseSerializerCodingKey] = HCEncodeResponseSerializer(*responseSerializer());
}

std::shared_ptr<HCHTTPSessionManager> HCHTTPSessionManager::copy() const {
  std::shared_ptr<HCHTTPSessionManager> copied = manager(baseURL_, sessionConfiguration());
  copied->setRequestSerializer(requestSerializer()->copy());
  copied->setResponseSerializer(responseSerializer()->copy());
  return copied;
}

std::shared_ptr<HCHTTPRequestSerializer> HCHTTPSessionManager::requestSerializer() const {
  ns::MutexLock lock(serializerMutex_);
  return requestSerializer_;
}

void HCHTTPSessionManager::setRequestSerializer(std::shared_ptr<HCHTTPRequestSerializer> serializer) {
  QM_DCHECK(serializer != nullptr, "serializer is not null");
  ns::MutexLock lock(serializerMutex_);
  requestSerializer_ = std::move(serializer);
}

HCURLSessionManager::CompletionHandler HCHTTPSessionManager::completionCalling(
    std::shared_ptr<std::shared_ptr<ns::URLSessionTask>> task, SuccessBlock success, FailureBlock failure) {
  return [task, success = std::move(success), failure = std::move(failure)](
             const std::shared_ptr<const ns::URLResponse>&, const std::optional<ns::Value>& responseObject,
             const std::optional<ns::Error>& error) {
    if (error) {
      if (failure) {
        failure(*task, *error);
      }
    } else if (success) {
      success(*task, responseObject);
    }
  };
}

void HCHTTPSessionManager::failWithoutTask(FailureBlock failure, const ns::Error& error) const {
  if (failure) {
    dispatchOnCompletionQueue([failure = std::move(failure), error] { failure(nullptr, error); });
  }
}

std::shared_ptr<ns::URLSessionTask> HCHTTPSessionManager::dataTaskWithHTTPMethod(
    std::string_view method, std::string_view URLString, const std::optional<ns::Dictionary>& parameters,
    SuccessBlock success, FailureBlock failure) {
  ns::Result<ns::URLRequest> request = requestSerializer()->requestWithMethod(
      method, HCURLStringAgainstBaseURL(baseURL_, URLString), parameters);
  if (!request) {
    failWithoutTask(std::move(failure), request.error());
    return nullptr;
  }
  auto slot = std::make_shared<std::shared_ptr<ns::URLSessionTask>>();
  *slot = dataTaskWithRequest(*request, completionCalling(slot, std::move(success), std::move(failure)));
  return *slot;
}

std::shared_ptr<ns::URLSessionTask> HCHTTPSessionManager::started(std::shared_ptr<ns::URLSessionTask> task) {
  if (task) {
    task->resume();
  }
  return task;
}

std::shared_ptr<ns::URLSessionTask> HCHTTPSessionManager::GET(std::string_view URLString,
                                                              const std::optional<ns::Dictionary>& parameters,
                                                              SuccessBlock success, FailureBlock failure) {
  return started(
      dataTaskWithHTTPMethod("GET", URLString, parameters, std::move(success), std::move(failure)));
}

std::shared_ptr<ns::URLSessionTask> HCHTTPSessionManager::HEAD(
    std::string_view URLString, const std::optional<ns::Dictionary>& parameters, HeadSuccessBlock success,
    FailureBlock failure) {
  SuccessBlock taskOnly;
  if (success) {
    taskOnly = [success = std::move(success)](const std::shared_ptr<ns::URLSessionTask>& task,
                                              const std::optional<ns::Value>&) { success(task); };
  }
  return started(
      dataTaskWithHTTPMethod("HEAD", URLString, parameters, std::move(taskOnly), std::move(failure)));
}

std::shared_ptr<ns::URLSessionTask> HCHTTPSessionManager::POST(
    std::string_view URLString, const std::optional<ns::Dictionary>& parameters, SuccessBlock success,
    FailureBlock failure) {
  return started(
      dataTaskWithHTTPMethod("POST", URLString, parameters, std::move(success), std::move(failure)));
}

std::shared_ptr<ns::URLSessionTask> HCHTTPSessionManager::POST(
    std::string_view URLString, const std::optional<ns::Dictionary>& parameters,
    const HCHTTPRequestSerializer::ConstructingBodyBlock& block, SuccessBlock success, FailureBlock failure) {
  ns::Result<ns::URLRequest> request = requestSerializer()->multipartFormRequestWithMethod(
      "POST", HCURLStringAgainstBaseURL(baseURL_, URLString), parameters, block);
  if (!request) {
    failWithoutTask(std::move(failure), request.error());
    return nullptr;
  }
  auto slot = std::make_shared<std::shared_ptr<ns::URLSessionTask>>();
  *slot = uploadTaskWithStreamedRequest(*request, nullptr,
                                        completionCalling(slot, std::move(success), std::move(failure)));
  return started(*slot);
}

std::shared_ptr<ns::URLSessionTask> HCHTTPSessionManager::PUT(std::string_view URLString,
                                                              const std::optional<ns::Dictionary>& parameters,
                                                              SuccessBlock success, FailureBlock failure) {
  return started(
      dataTaskWithHTTPMethod("PUT", URLString, parameters, std::move(success), std::move(failure)));
}

std::shared_ptr<ns::URLSessionTask> HCHTTPSessionManager::PATCH(
    std::string_view URLString, const std::optional<ns::Dictionary>& parameters, SuccessBlock success,
    FailureBlock failure) {
  return started(
      dataTaskWithHTTPMethod("PATCH", URLString, parameters, std::move(success), std::move(failure)));
}

std::shared_ptr<ns::URLSessionTask> HCHTTPSessionManager::DELETE(
    std::string_view URLString, const std::optional<ns::Dictionary>& parameters, SuccessBlock success,
    FailureBlock failure) {
  return started(
      dataTaskWithHTTPMethod("DELETE", URLString, parameters, std::move(success), std::move(failure)));
}

std::string HCHTTPSessionManager::description() const {
  return "<HCHTTPSessionManager: " + HCObjectAddress(this) +
         ", baseURL: " + (baseURL_ ? baseURL_->absoluteString() : "(null)") +
         ", session: " + session()->description() +
         ", operationQueue: " + HCObjectAddress(&operationQueue()) + ">";
}

}  // namespace http_client
