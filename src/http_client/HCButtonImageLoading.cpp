#include "http_client/HCButtonImageLoading.h"

#include <typeindex>

#include "http_client/HCSharedImageCache.h"
#include "platform/foundation/check/Check.h"

namespace http_client {

namespace {

// Highlighted, disabled and selected alone have slots of their own; every other state uses the normal one.
HCImageSlot slotOfState(HCImageSlot::Kind kind, uikit::ControlState state) {
  const bool ownSlot = state == uikit::kControlStateHighlighted || state == uikit::kControlStateDisabled ||
                       state == uikit::kControlStateSelected;
  return HCImageSlot{kind, ownSlot ? state : uikit::kControlStateNormal};
}

std::shared_ptr<HCImageResponseSerializer> sharedButtonSerializer() {
  static const auto* serializer =
      new std::shared_ptr<HCImageResponseSerializer>(HCImageResponseSerializer::serializer());
  return *serializer;
}

ns::URLRequest imageRequest(const ns::URL& url) {
  ns::URLRequest request(url);
  request.setValue("image/*", "Accept");
  return request;
}

void startButtonLoad(const std::shared_ptr<uikit::Button>& button, HCImageSlot::Kind kind,
                     uikit::ControlState state, ns::URLRequest request,
                     std::shared_ptr<const uikit::Image> placeholder, HCImageLoadSuccess success,
                     HCButtonImageLoadFailure failure) {
  QM_DCHECK_MAIN_THREAD();
  QM_DCHECK(button != nullptr, "the button is not null");
  HCImageLoad load;
  load.view = button;
  load.slot = slotOfState(kind, state);
  load.request = std::move(request);
  load.placeholder = std::move(placeholder);
  load.show = [kind, state](uikit::View& target, const std::shared_ptr<const uikit::Image>& image) {
    auto& targetButton = static_cast<uikit::Button&>(target);
    if (kind == HCImageSlot::Kind::kButtonBackgroundImage) {
      targetButton.setBackgroundImage(image, state);
    } else {
      targetButton.setImage(image, state);
    }
  };
  const uikit::Button& target = *button;
  load.cache = imageCacheForButtonClass(typeid(target));
  load.serializer = imageResponseSerializer(target);
  load.queue = &buttonOperationQueue();
  load.success = std::move(success);
  if (failure) {
    load.failure = [failure = std::move(failure)](const std::optional<ns::URLRequest>&,
                                                  const std::shared_ptr<const ns::HTTPURLResponse>&,
                                                  const ns::Error& error) { failure(error); };
  }
  load.supersededFailures = HCImageLoad::SupersededFailures::kAll;
  load.finishedOperation = HCImageLoad::FinishedOperation::kKeep;
  HCImageLoad::start(std::move(load));
}

}  // namespace

ns::OperationQueue& buttonOperationQueue() {
  static auto* queue = new ns::OperationQueue();
  return *queue;
}

void setImageForState(const std::shared_ptr<uikit::Button>& button, uikit::ControlState state,
                      const ns::URL& url, std::shared_ptr<const uikit::Image> placeholder) {
  startButtonLoad(button, HCImageSlot::Kind::kButtonImage, state, imageRequest(url), std::move(placeholder),
                  nullptr, nullptr);
}

void setImageForStateWithURLRequest(const std::shared_ptr<uikit::Button>& button, uikit::ControlState state,
                                    ns::URLRequest request, std::shared_ptr<const uikit::Image> placeholder,
                                    HCImageLoadSuccess success, HCButtonImageLoadFailure failure) {
  startButtonLoad(button, HCImageSlot::Kind::kButtonImage, state, std::move(request), std::move(placeholder),
                  std::move(success), std::move(failure));
}

void setBackgroundImageForState(const std::shared_ptr<uikit::Button>& button, uikit::ControlState state,
                                const ns::URL& url, std::shared_ptr<const uikit::Image> placeholder) {
  startButtonLoad(button, HCImageSlot::Kind::kButtonBackgroundImage, state, imageRequest(url),
                  std::move(placeholder), nullptr, nullptr);
}

void setBackgroundImageForStateWithURLRequest(const std::shared_ptr<uikit::Button>& button,
                                              uikit::ControlState state, ns::URLRequest request,
                                              std::shared_ptr<const uikit::Image> placeholder,
                                              HCImageLoadSuccess success, HCButtonImageLoadFailure failure) {
  startButtonLoad(button, HCImageSlot::Kind::kButtonBackgroundImage, state, std::move(request),
                  std::move(placeholder), std::move(success), std::move(failure));
}

void cancelImageRequestOperationForState(const std::shared_ptr<uikit::Button>& button,
                                         uikit::ControlState state) {
  QM_DCHECK(button != nullptr, "the button is not null");
  HCImageLoad::cancel(button, slotOfState(HCImageSlot::Kind::kButtonImage, state));
}

void cancelBackgroundImageRequestOperationForState(const std::shared_ptr<uikit::Button>& button,
                                                   uikit::ControlState state) {
  QM_DCHECK(button != nullptr, "the button is not null");
  HCImageLoad::cancel(button, slotOfState(HCImageSlot::Kind::kButtonBackgroundImage, state));
}

std::shared_ptr<HCImageResponseSerializer> imageResponseSerializer(const uikit::Button& button) {
  std::shared_ptr<HCImageResponseSerializer> own = HCViewImageLoads::shared().serializer(button);
  return own ? own : sharedButtonSerializer();
}

void setImageResponseSerializer(const std::shared_ptr<uikit::Button>& button,
                                std::shared_ptr<HCImageResponseSerializer> serializer) {
  QM_DCHECK(button != nullptr, "the button is not null");
  HCViewImageLoads::shared().setSerializer(button, std::move(serializer));
}

}  // namespace http_client
