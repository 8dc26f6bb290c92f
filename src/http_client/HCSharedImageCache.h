#pragma once

// The caches that image loads into views read and fill. One default HCImageCache serves every view class
// that has not registered its own; it is made on first use and emptied whole on every memory warning
// (uikit::kApplicationDidReceiveMemoryWarningNotification), which a registered cache is not. A
// registration holds for exactly the class it names, never for its subclasses. Buttons without a cache of
// their own share the image views' cache, so a picture loaded into either is served to both.
//
// Thread-safety: defaultImageCache() may be called from any thread; the rest on the main thread only.

#include <memory>
#include <type_traits>
#include <typeindex>

#include "http_client/HCImageCache.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/views/ImageView.h"

namespace http_client {

// The default cache; it lives for the whole process.
std::shared_ptr<HCImageCache> defaultImageCache();

// The cache that image views of exactly `viewClass` use: the one registered for it, else the default.
std::shared_ptr<HCImageCache> imageCacheForImageViewClass(std::type_index viewClass);
// The cache that buttons of exactly `buttonClass` use: the one registered for it, else the image views'
// (imageCacheForImageViewClass(typeid(uikit::ImageView))).
std::shared_ptr<HCImageCache> imageCacheForButtonClass(std::type_index buttonClass);
// Registers `cache` for views of exactly `viewClass`; nullptr takes a registration back.
void registerImageCacheForClass(std::type_index viewClass, std::shared_ptr<HCImageCache> cache);

// The cache views of `ViewClass` use, and registering one for it.
template <typename ViewClass>
std::shared_ptr<HCImageCache> sharedImageCache() {
  static_assert(std::is_base_of_v<uikit::ImageView, ViewClass> || std::is_base_of_v<uikit::Button, ViewClass>,
                "images load into image views and buttons");
  if constexpr (std::is_base_of_v<uikit::Button, ViewClass>) {
    return imageCacheForButtonClass(typeid(ViewClass));
  } else {
    return imageCacheForImageViewClass(typeid(ViewClass));
  }
}
template <typename ViewClass>
void setSharedImageCache(std::shared_ptr<HCImageCache> cache) {
  static_assert(std::is_base_of_v<uikit::ImageView, ViewClass> || std::is_base_of_v<uikit::Button, ViewClass>,
                "images load into image views and buttons");
  registerImageCacheForClass(typeid(ViewClass), std::move(cache));
}

// Empties the default cache, puts its byte limit back and drops every registration.
void resetSharedImageCachesForTesting();

}  // namespace http_client
