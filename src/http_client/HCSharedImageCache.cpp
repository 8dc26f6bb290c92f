#include "http_client/HCSharedImageCache.h"

#include <map>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/uikit/app/Application.h"

namespace http_client {

namespace {

// Main thread only.
std::map<std::type_index, std::shared_ptr<HCImageCache>>& registeredCaches() {
  static auto* caches = new std::map<std::type_index, std::shared_ptr<HCImageCache>>();
  return *caches;
}

std::shared_ptr<HCImageCache> registeredCache(std::type_index viewClass) {
  const auto found = registeredCaches().find(viewClass);
  return found == registeredCaches().end() ? nullptr : found->second;
}

}  // namespace

std::shared_ptr<HCImageCache> defaultImageCache() {
  // Never destroyed: loads that finish while the process exits may still fill it.
  static const auto* cache = [] {
    auto* made = new std::shared_ptr<HCImageCache>(std::make_shared<HCImageCache>());
    std::weak_ptr<HCImageCache> weakCache = *made;
    ns::NotificationCenter::defaultCenter().addObserverForName(
        std::string(uikit::kApplicationDidReceiveMemoryWarningNotification), nullptr,
        &ns::DispatchQueue::main(), [weakCache](const ns::Notification&) {
          if (const std::shared_ptr<HCImageCache> strongCache = weakCache.lock()) {
            strongCache->removeAllObjects();
          }
        });
    return made;
  }();
  return *cache;
}

std::shared_ptr<HCImageCache> imageCacheForImageViewClass(std::type_index viewClass) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<HCImageCache> cache = registeredCache(viewClass);
  return cache ? cache : defaultImageCache();
}

std::shared_ptr<HCImageCache> imageCacheForButtonClass(std::type_index buttonClass) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<HCImageCache> cache = registeredCache(buttonClass);
  return cache ? cache : imageCacheForImageViewClass(typeid(uikit::ImageView));
}

void registerImageCacheForClass(std::type_index viewClass, std::shared_ptr<HCImageCache> cache) {
  QM_DCHECK_MAIN_THREAD();
  if (cache) {
    registeredCaches().insert_or_assign(viewClass, std::move(cache));
  } else {
    registeredCaches().erase(viewClass);
  }
}

void resetSharedImageCachesForTesting() {
  QM_DCHECK_MAIN_THREAD();
  registeredCaches().clear();
  defaultImageCache()->removeAllObjects();
  defaultImageCache()->setByteLimit(HCImageCache::kDefaultByteLimit);
}

}  // namespace http_client
