#include "http_client/HCImageViewLoading.h"

#include <typeindex>

#include "http_client/HCSharedImageCache.h"
#include "platform/foundation/check/Check.h"

namespace http_client {

namespace {

constexpr HCImageSlot kImageViewSlot{HCImageSlot::Kind::kImageViewImage, 0};

std::shared_ptr<HCImageResponseSerializer> sharedImageViewSerializer() {
  static const auto* serializer =
      new std::shared_ptr<HCImageResponseSerializer>(HCImageResponseSerializer::serializer());
  return *serializer;
}

}  // namespace

ns::OperationQueue& imageViewOperationQueue() {
  static auto* queue = new ns::OperationQueue();
  return *queue;
}

void setImageWithURL(const std::shared_ptr<uikit::ImageView>& view, const ns::URL& url,
                     std::shared_ptr<const uikit::Image> placeholder) {
  ns::URLRequest request(url);
  request.setValue("image/*", "Accept");
  setImageWithURLRequest(view, std::move(request), std::move(placeholder), nullptr, nullptr);
}

void setImageWithURLRequest(const std::shared_ptr<uikit::ImageView>& view, ns::URLRequest request,
                            std::shared_ptr<const uikit::Image> placeholder, HCImageLoadSuccess success,
                            HCImageLoadFailure failure) {
  QM_DCHECK_MAIN_THREAD();
  QM_DCHECK(view != nullptr, "the view is not null");
  HCImageLoad load;
  load.view = view;
  load.slot = kImageViewSlot;
  load.request = std::move(request);
  load.placeholder = std::move(placeholder);
  load.show = [](uikit::View& target, const std::shared_ptr<const uikit::Image>& image) {
    static_cast<uikit::ImageView&>(target).setImage(image);
  };
  const uikit::ImageView& target = *view;
  load.cache = imageCacheForImageViewClass(typeid(target));
  load.serializer = imageResponseSerializer(*view);
  load.queue = &imageViewOperationQueue();
  load.success = std::move(success);
  load.failure = std::move(failure);
  load.supersededFailures = HCImageLoad::SupersededFailures::kSameURLOnly;
  load.finishedOperation = HCImageLoad::FinishedOperation::kForget;
  HCImageLoad::start(std::move(load));
}

void cancelImageRequestOperation(const std::shared_ptr<uikit::ImageView>& view) {
  QM_DCHECK(view != nullptr, "the view is not null");
  HCImageLoad::cancel(view, kImageViewSlot);
}

std::shared_ptr<HCHTTPRequestOperation> imageRequestOperation(const uikit::ImageView& view) {
  return HCViewImageLoads::shared().operation(view, kImageViewSlot);
}

std::shared_ptr<HCImageResponseSerializer> imageResponseSerializer(const uikit::ImageView& view) {
  std::shared_ptr<HCImageResponseSerializer> own = HCViewImageLoads::shared().serializer(view);
  return own ? own : sharedImageViewSerializer();
}

void setImageResponseSerializer(const std::shared_ptr<uikit::ImageView>& view,
                                std::shared_ptr<HCImageResponseSerializer> serializer) {
  QM_DCHECK(view != nullptr, "the view is not null");
  HCViewImageLoads::shared().setSerializer(view, std::move(serializer));
}

}  // namespace http_client
