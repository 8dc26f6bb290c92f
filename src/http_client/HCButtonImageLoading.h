#pragma once

// Loading remote images into buttons, per control state: the image (setImageForState()) and the background
// image (setBackgroundImageForState()) each keep one load per state slot. The slots are normal,
// highlighted, disabled and selected; any other state (normal, or a combination of states) loads in the
// normal slot. Otherwise a load goes as an image view's does (HCImageViewLoading.h): the cache of the
// button's class first (the image views' cache unless the class registered its own), then the placeholder
// and a request on the buttons' own operation queue. A slot shows the image of its latest load only: an
// earlier load that finishes later never replaces it. A slot keeps its finished operation until its next
// load or cancellation.
//
// Thread-safety: main thread only; success and failure functions run on the main thread.

#include <functional>
#include <memory>

#include "http_client/HCImageLoad.h"
#include "http_client/HCImageResponseSerializer.h"
#include "platform/net/URL.h"
#include "platform/uikit/controls/Button.h"

namespace http_client {

// Gets the error of a failed load, a cancelled one included.
using HCButtonImageLoadFailure = std::function<void(const ns::Error& error)>;

// Loads the image at `url`, asking for "Accept: image/*", as the image of `state`, over `placeholder`
// when one is given. REQUIRES: button is not null.
void setImageForState(const std::shared_ptr<uikit::Button>& button, uikit::ControlState state,
                      const ns::URL& url, std::shared_ptr<const uikit::Image> placeholder = nullptr);
// Loads the image that `request` fetches as the image of `state`. With a success function the image goes
// to it instead of into the button (with no request and no response when it came from the cache); the
// failure function hears every failure of the slot's loads, cancellations included.
// REQUIRES: button is not null.
void setImageForStateWithURLRequest(const std::shared_ptr<uikit::Button>& button, uikit::ControlState state,
                                    ns::URLRequest request, std::shared_ptr<const uikit::Image> placeholder,
                                    HCImageLoadSuccess success, HCButtonImageLoadFailure failure);
// The same two for the background image.
void setBackgroundImageForState(const std::shared_ptr<uikit::Button>& button, uikit::ControlState state,
                                const ns::URL& url,
                                std::shared_ptr<const uikit::Image> placeholder = nullptr);
void setBackgroundImageForStateWithURLRequest(const std::shared_ptr<uikit::Button>& button,
                                              uikit::ControlState state, ns::URLRequest request,
                                              std::shared_ptr<const uikit::Image> placeholder,
                                              HCImageLoadSuccess success, HCButtonImageLoadFailure failure);

// Cancels the load of the state's slot and forgets it. REQUIRES: button is not null.
void cancelImageRequestOperationForState(const std::shared_ptr<uikit::Button>& button,
                                         uikit::ControlState state);
void cancelBackgroundImageRequestOperationForState(const std::shared_ptr<uikit::Button>& button,
                                                   uikit::ControlState state);

// The serializer the button's loads decode with: its own, else the one all buttons share.
std::shared_ptr<HCImageResponseSerializer> imageResponseSerializer(const uikit::Button& button);
// Gives the button a serializer of its own; nullptr goes back to the shared one.
// REQUIRES: button is not null.
void setImageResponseSerializer(const std::shared_ptr<uikit::Button>& button,
                                std::shared_ptr<HCImageResponseSerializer> serializer);

// The operation queue that every button's loads run on.
ns::OperationQueue& buttonOperationQueue();

}  // namespace http_client
