#pragma once

// Loading remote images into image views. setImageWithURL() shows the placeholder (when given), then the
// image at the URL once it has been fetched and decoded off the main thread; an image already in the cache
// of the view's class (HCSharedImageCache.h) is shown at once, without a request and without the
// placeholder. A view shows the image of its latest load only: a new load cancels the one before, and an
// earlier load that still finishes never replaces the later one's image. A load that fails, or whose
// reply is not an image (or is longer than HCImageLoad::kMaximumBodyLength), leaves the placeholder (or the
// image shown before) in place.
//
//   http_client::setImageWithURL(avatarView, url, uikit::Image::imageNamed("avater"));
//
// The loads of every image view share one operation queue and, unless a view has its own, one image
// response serializer; both are made on first use.
//
// Thread-safety: main thread only; success and failure functions run on the main thread.

#include <memory>

#include "http_client/HCHTTPRequestOperation.h"
#include "http_client/HCImageLoad.h"
#include "http_client/HCImageResponseSerializer.h"
#include "platform/net/URL.h"
#include "platform/uikit/views/ImageView.h"

namespace http_client {

// Loads the image at `url`, asking for "Accept: image/*", into `view`, over `placeholder` when one is
// given (else the view keeps its image until the new one arrives).
// REQUIRES: view is not null.
void setImageWithURL(const std::shared_ptr<uikit::ImageView>& view, const ns::URL& url,
                     std::shared_ptr<const uikit::Image> placeholder = nullptr);

// Loads the image that `request` fetches into `view`, as setImageWithURL() does. With a success function,
// the image goes to it instead of into the view (with no request and no response when it came from the
// cache); a failure function hears why the view's current load failed, or the error of a cancelled load
// when the view's new load asks for the same URL. A request whose cache policy ignores local data always
// goes to the network; its image is still cached. REQUIRES: view is not null.
void setImageWithURLRequest(const std::shared_ptr<uikit::ImageView>& view, ns::URLRequest request,
                            std::shared_ptr<const uikit::Image> placeholder, HCImageLoadSuccess success,
                            HCImageLoadFailure failure);

// Cancels the view's current load and forgets it; its functions are not called.
// REQUIRES: view is not null.
void cancelImageRequestOperation(const std::shared_ptr<uikit::ImageView>& view);

// The operation of the view's current load, or nullptr when none is running.
std::shared_ptr<HCHTTPRequestOperation> imageRequestOperation(const uikit::ImageView& view);

// The serializer the view's loads decode with: its own, else the one all image views share.
std::shared_ptr<HCImageResponseSerializer> imageResponseSerializer(const uikit::ImageView& view);
// Gives the view a serializer of its own; nullptr goes back to the shared one. REQUIRES: view is not null.
void setImageResponseSerializer(const std::shared_ptr<uikit::ImageView>& view,
                                std::shared_ptr<HCImageResponseSerializer> serializer);

// The operation queue that every image view's loads run on.
ns::OperationQueue& imageViewOperationQueue();

}  // namespace http_client
