#include "http_client/HCHTTPRequestOperation.h"

#include <utility>

#include "http_client/HCSerializerCoding.h"
#include "platform/foundation/check/Check.h"
#include "platform/net/ContentRange.h"

namespace http_client {

namespace {

constexpr char kResponseSerializerCodingKey[] = "responseSerializer";

// True when `response` carries the body from byte `offset` on, so that it continues what is already there.
bool continuesBodyAt(const ns::URLResponse* response, std::uint64_t offset) {
  const auto* httpResponse = dynamic_cast<const ns::HTTPURLResponse*>(response);
  return httpResponse != nullptr && ns::continuesBodyAt(*httpResponse, offset);
}

}  // namespace

ns::DispatchQueue& HCHTTPRequestOperation::processingQueue() {
  // Never destroyed: a reply finishing on the network thread while the process ends is still queued here.
  static const std::shared_ptr<ns::DispatchQueue>& queue = *new std::shared_ptr<ns::DispatchQueue>(
      ns::DispatchQueue::createConcurrent("com.httpclient.networking.http-request.processing"));
  return *queue;
}

HCHTTPRequestOperation::HCHTTPRequestOperation(ns::URLRequest request)
    : HCHTTPRequestOperation(std::move(request), HCHTTPResponseSerializer::serializer()) {}

HCHTTPRequestOperation::HCHTTPRequestOperation(ns::URLRequest request,
                                               std::shared_ptr<HCHTTPResponseSerializer> serializer)
    : HCURLConnectionOperation(std::move(request)), responseSerializer_(std::move(serializer)) {
  QM_DCHECK(responseSerializer_ != nullptr, "serializer is not null");
}

HCHTTPRequestOperation::HCHTTPRequestOperation(const ns::Dictionary& coder)
    : HCURLConnectionOperation(coder) {
  const auto serializer = coder.find(kResponseSerializerCodingKey);
  responseSerializer_ =
      HCDecodeResponseSerializer(serializer != coder.end() ? serializer->second : ns::Value());
}

void HCHTTPRequestOperation::encodeWithCoder(ns::Dictionary& coder) {
  HCURLConnectionOperation::encodeWithCoder(coder);
  coder[kResponseSerializerCodingKey] = HCEncodeResponseSerializer(*responseSerializer());
}

std::shared_ptr<HCURLConnectionOperation> HCHTTPRequestOperation::copy() const {
  auto operation = std::make_shared<HCHTTPRequestOperation>(request(), responseSerializer()->copy());
  copyPropertiesInto(*operation);
  return operation;
}

std::shared_ptr<const ns::HTTPURLResponse> HCHTTPRequestOperation::response() const {
  return std::dynamic_pointer_cast<const ns::HTTPURLResponse>(HCURLConnectionOperation::response());
}

std::shared_ptr<HCHTTPResponseSerializer> HCHTTPRequestOperation::responseSerializer() const {
  ns::MutexLock lock(serializationMutex_);
  return responseSerializer_;
}

void HCHTTPRequestOperation::setResponseSerializer(std::shared_ptr<HCHTTPResponseSerializer> serializer) {
  ns::MutexLock lock(serializationMutex_);
  responseSerializer_ = std::move(serializer);
  responseSerialized_ = false;
  responseObject_.reset();
  responseImage_.reset();
  responseReferenceObject_.reset();
  responseSerializationError_.reset();
}

void HCHTTPRequestOperation::serializeResponseOnce() const {
  if (!responseSerialized_ && isFinished() && !HCURLConnectionOperation::error()) {
    HCSerializedResponse serialized =
        responseSerializer_->responseObjectForResponse(HCURLConnectionOperation::response(), responseData());
    responseSerialized_ = true;
    responseObject_ = std::move(serialized.responseObject);
    responseImage_ = std::move(serialized.responseImage);
    responseReferenceObject_ = std::move(serialized.responseReferenceObject);
    responseSerializationError_ = std::move(serialized.error);
  }
}

std::optional<ns::Value> HCHTTPRequestOperation::responseObject() const {
  ns::MutexLock lock(serializationMutex_);
  serializeResponseOnce();
  return responseObject_;
}

std::shared_ptr<const uikit::Image> HCHTTPRequestOperation::responseImage() const {
  ns::MutexLock lock(serializationMutex_);
  serializeResponseOnce();
  return responseImage_;
}

std::shared_ptr<ns::Object> HCHTTPRequestOperation::responseReferenceObject() const {
  ns::MutexLock lock(serializationMutex_);
  serializeResponseOnce();
  return responseReferenceObject_;
}

std::optional<ns::Error> HCHTTPRequestOperation::responseSerializationError() const {
  ns::MutexLock lock(serializationMutex_);
  return responseSerializationError_;
}

std::optional<ns::Error> HCHTTPRequestOperation::error() const {
  if (std::optional<ns::Error> serializationError = responseSerializationError()) {
    return serializationError;
  }
  return HCURLConnectionOperation::error();
}

void HCHTTPRequestOperation::setCompletionBlockWithSuccess(SuccessBlock success, FailureBlock failure) {
  // Installed beneath the base class's completion, which would first take the block to the completion
  // queue: the reply goes straight to the processing queue instead, one thread hop fewer per request, and
  // the group is held until the success or failure block has been queued.
  // The block holds the operation until it has run; the operation lets go of it once finished.
  ns::Operation::setCompletionBlock([self = retainedSelf<HCHTTPRequestOperation>(),
                                     success = std::move(success), failure = std::move(failure)] {
    ns::DispatchGroup group = self->completionGroupOrProcessWide();
    group.enter();
    processingQueue().async([self, success, failure, group]() mutable {
      std::optional<ns::Value> responseObject;
      std::optional<ns::Error> error = self->error();
      if (!error) {
        responseObject = self->responseObject();
        error = self->error();
      }
      if (error) {
        if (failure) {
          self->dispatchOnCompletionQueue(
              [self, failure, error = std::move(*error)] { failure(self, error); });
        }
      } else if (success) {
        self->dispatchOnCompletionQueue(
            [self, success, responseObject = std::move(responseObject)] { success(self, responseObject); });
      }
      group.leave();
    });
  });
}

void HCHTTPRequestOperation::pause() {
  HCURLConnectionOperation::pause();
  if (!isPaused()) {
    return;
  }
  // Read on the network thread once the connection has stopped, so that no byte arrives after the offset
  // was taken.
  runOnNetworkThreadAndWait([this] { prepareRequestForResume(); });
}

void HCHTTPRequestOperation::prepareRequestForResume() {
  QM_DCHECK(networkRequestThread().isCurrent(), "called on the network thread");
  const std::shared_ptr<ns::OutputStream> stream = outputStream();
  std::uint64_t offset = 0;
  if (std::optional<std::uint64_t> fileOffset = stream ? stream->fileCurrentOffset() : std::nullopt) {
    offset = *fileOffset;
  } else if (const ns::Data* data = stream ? stream->dataWrittenToMemory() : nullptr) {
    offset = data->size();
  }
  ns::URLRequest resumeRequest = request();
  if (const std::shared_ptr<const ns::HTTPURLResponse> httpResponse = response()) {
    const auto etag = httpResponse->allHeaderFields().find("ETag");
    if (etag != httpResponse->allHeaderFields().end()) {
      resumeRequest.setValue(etag->second, "If-Range");
    }
  }
  resumeRequest.setValue("bytes=" + std::to_string(offset) + "-", "Range");
  setRequest(std::move(resumeRequest));
  resumeOffset_ = offset;
}

void HCHTTPRequestOperation::didReceiveFinalResponse(ns::URLConnection& connection,
                                                     std::shared_ptr<const ns::URLResponse> response) {
  QM_DCHECK(networkRequestThread().isCurrent(), "called on the network thread");
  if (const std::optional<std::uint64_t> offset = std::exchange(resumeOffset_, std::nullopt)) {
    if (!continuesBodyAt(response.get(), *offset) && !discardReceivedBody(connection)) {
      return;
    }
  }
  HCURLConnectionOperation::didReceiveFinalResponse(connection, std::move(response));
}

}  // namespace http_client
