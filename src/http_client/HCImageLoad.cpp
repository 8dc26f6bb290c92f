#include "http_client/HCImageLoad.h"

#include "http_client/HCSharedImageCache.h"
#include "platform/foundation/check/Check.h"

namespace http_client {

void HCImageLoad::start(HCImageLoad load) {
  QM_DCHECK_MAIN_THREAD();
  QM_DCHECK(load.view && load.show && load.cache && load.serializer && load.queue != nullptr,
            "the load names its view, slot, cache, serializer and queue");
  cancel(load.view, load.slot);
  if (std::shared_ptr<const uikit::Image> cached = load.cache->cachedImageForRequest(load.request)) {
    if (load.success) {
      load.success(std::nullopt, nullptr, cached);
    } else {
      load.show(*load.view, cached);
    }
    return;
  }
  if (load.placeholder) {
    load.show(*load.view, load.placeholder);
  }
  auto operation = std::make_shared<HCHTTPRequestOperation>(load.request, load.serializer);
  operation->setOutputStream(ns::OutputStream::toMemory(kMaximumBodyLength));
  HCViewImageLoads::shared().exchangeOperation(load.view, load.slot, operation);

  const std::weak_ptr<uikit::View> weakView = load.view;
  const HCImageSlot slot = load.slot;
  const ns::URLRequest request = load.request;
  operation->setCompletionBlockWithSuccess(
      [weakView, slot, request, show = load.show, cache = load.cache, success = load.success,
       finished = load.finishedOperation](const std::shared_ptr<HCHTTPRequestOperation>& completed,
                                          const std::optional<ns::Value>&) {
        const std::shared_ptr<uikit::View> view = weakView.lock();
        if (!view) {
          return;
        }
        const std::shared_ptr<const uikit::Image> image = completed->responseImage();
        HCViewImageLoads& loads = HCViewImageLoads::shared();
        if (loads.operation(*view, slot) == completed) {
          if (success) {
            success(completed->request(), completed->response(), image);
          } else if (image) {
            show(*view, image);
          }
          if (finished == FinishedOperation::kForget && loads.operation(*view, slot) == completed) {
            loads.exchangeOperation(view, slot, nullptr);
          }
        }
        cache->cacheImage(image, request);
      },
      [weakView, slot, failure = load.failure, superseded = load.supersededFailures,
       finished = load.finishedOperation](const std::shared_ptr<HCHTTPRequestOperation>& failed,
                                          const ns::Error& error) {
        const std::shared_ptr<uikit::View> view = weakView.lock();
        const std::shared_ptr<HCHTTPRequestOperation> current =
            view ? HCViewImageLoads::shared().operation(*view, slot) : nullptr;
        const bool reports = superseded == SupersededFailures::kAll || current == failed ||
                             (current && current->request().url() == failed->request().url());
        if (failure && reports) {
          failure(failed->request(), failed->response(), error);
        }
        if (view && finished == FinishedOperation::kForget &&
            HCViewImageLoads::shared().operation(*view, slot) == failed) {
          HCViewImageLoads::shared().exchangeOperation(view, slot, nullptr);
        }
      });
  load.queue->addOperation(std::move(operation));
}

void HCImageLoad::cancel(const std::shared_ptr<uikit::View>& view, HCImageSlot slot) {
  QM_DCHECK_MAIN_THREAD();
  if (std::shared_ptr<HCHTTPRequestOperation> operation =
          HCViewImageLoads::shared().exchangeOperation(view, slot, nullptr)) {
    operation->cancel();
  }
}

void HCImageLoad::resetForTesting() {
  QM_DCHECK_MAIN_THREAD();
  HCViewImageLoads::shared().removeAllForTesting();
  resetSharedImageCachesForTesting();
}

}  // namespace http_client
