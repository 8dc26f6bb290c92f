#include "http_client/uikit/HCProgressViewBinding.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/DispatchQueue.h"

namespace http_client {

namespace {

// The keys under which the bindings of each direction are kept on their view.
const char kUploadBindingKey = 0;
const char kDownloadBindingKey = 0;

}  // namespace

void HCProgressViewBinding::setProgressWithUploadProgressOfTask(
    uikit::ProgressView& view, const std::shared_ptr<ns::URLSessionTask>& task, bool animated) {
  bindTask(view, task, Direction::kUpload, animated);
}

void HCProgressViewBinding::setProgressWithDownloadProgressOfTask(
    uikit::ProgressView& view, const std::shared_ptr<ns::URLSessionTask>& task, bool animated) {
  bindTask(view, task, Direction::kDownload, animated);
}

void HCProgressViewBinding::setProgressWithUploadProgressOfOperation(
    uikit::ProgressView& view, const std::shared_ptr<HCURLConnectionOperation>& operation, bool animated) {
  bindOperation(view, operation, Direction::kUpload, animated);
}

void HCProgressViewBinding::setProgressWithDownloadProgressOfOperation(
    uikit::ProgressView& view, const std::shared_ptr<HCURLConnectionOperation>& operation, bool animated) {
  bindOperation(view, operation, Direction::kDownload, animated);
}

HCProgressViewBinding::~HCProgressViewBinding() {
  stopObserving();
}

void HCProgressViewBinding::stopObserving() {
  ns::MutexLock lock(mutex_);
  stateObservation_.invalidate();
  countObservation_.invalidate();
}

void HCProgressViewBinding::showProgress(const std::weak_ptr<uikit::ProgressView>& view, std::int64_t count,
                                         std::int64_t expected, bool animated) {
  if (expected < 1) {
    return;
  }
  const float fraction = static_cast<float>(count) / static_cast<float>(expected);
  ns::DispatchQueue::main().async([view, fraction, animated] {
    if (const std::shared_ptr<uikit::ProgressView> shown = view.lock()) {
      shown->setProgress(fraction, animated);
    }
  });
}

void HCProgressViewBinding::bindTask(uikit::ProgressView& view,
                                     const std::shared_ptr<ns::URLSessionTask>& task, Direction direction,
                                     bool animated) {
  QM_DCHECK_MAIN_THREAD();
  const void* key = direction == Direction::kUpload ? &kUploadBindingKey : &kDownloadBindingKey;
  // The binding this replaces, if any, stops observing its task as it goes.
  auto binding = std::make_shared<HCProgressViewBinding>();
  view.setAssociatedObject(key, binding);
  if (!task) {
    return;
  }
  const std::weak_ptr<uikit::ProgressView> weakView =
      std::static_pointer_cast<uikit::ProgressView>(view.shared_from_this());
  const std::weak_ptr<HCProgressViewBinding> weakBinding = binding;
  const std::weak_ptr<ns::URLSessionTask> weakTask = task;
  const bool upload = direction == Direction::kUpload;
  ns::MutexLock lock(binding->mutex_);
  binding->countObservation_ =
      task->observe(upload ? "countOfBytesSent" : "countOfBytesReceived",
                    [weakView, weakTask, upload, animated](const ns::KeyValueChange& change) {
                      const std::shared_ptr<ns::URLSessionTask> observed = weakTask.lock();
                      if (observed && change.newValue.isInteger()) {
                        showProgress(weakView, change.newValue.asInteger(),
                                     upload ? observed->countOfBytesExpectedToSend()
                                            : observed->countOfBytesExpectedToReceive(),
                                     animated);
                      }
                    });
  binding->stateObservation_ = task->observe("state", [weakBinding](const ns::KeyValueChange& change) {
    if (change.newValue == ns::Value(static_cast<int>(ns::URLSessionTaskState::kCompleted))) {
      if (const std::shared_ptr<HCProgressViewBinding> completed = weakBinding.lock()) {
        completed->stopObserving();
      }
    }
  });
}

void HCProgressViewBinding::bindOperation(uikit::ProgressView& view,
                                          const std::shared_ptr<HCURLConnectionOperation>& operation,
                                          Direction direction, bool animated) {
  QM_DCHECK_MAIN_THREAD();
  const std::weak_ptr<uikit::ProgressView> weakView =
      std::static_pointer_cast<uikit::ProgressView>(view.shared_from_this());
  const bool upload = direction == Direction::kUpload;
  HCURLConnectionOperation::ProgressBlock kept =
      upload ? operation->uploadProgressBlock() : operation->downloadProgressBlock();
  HCURLConnectionOperation::ProgressBlock wrapped = [kept = std::move(kept), weakView, animated](
                                                        std::int64_t bytes, std::int64_t totalBytes,
                                                        std::int64_t totalBytesExpected) {
    if (kept) {
      kept(bytes, totalBytes, totalBytesExpected);
    }
    showProgress(weakView, totalBytes, totalBytesExpected, animated);
  };
  if (upload) {
    operation->setUploadProgressBlock(std::move(wrapped));
  } else {
    operation->setDownloadProgressBlock(std::move(wrapped));
  }
}

}  // namespace http_client
