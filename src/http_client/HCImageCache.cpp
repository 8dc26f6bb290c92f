#include "http_client/HCImageCache.h"

namespace http_client {

namespace {

// Returns the key of `request`, or nullptr when it has no URL.
const std::string* keyOfRequest(const ns::URLRequest& request) {
  return request.url() ? &request.url()->absoluteString() : nullptr;
}

bool ignoresLocalData(ns::URLRequestCachePolicy policy) {
  return policy == ns::URLRequestCachePolicy::kReloadIgnoringLocalCacheData ||
         policy == ns::URLRequestCachePolicy::kReloadIgnoringLocalAndRemoteCacheData;
}

}  // namespace

HCImageCache::HCImageCache(std::size_t byteLimit) : byteLimit_(byteLimit) {}

std::shared_ptr<const uikit::Image> HCImageCache::cachedImageForRequest(const ns::URLRequest& request) {
  const std::string* key = keyOfRequest(request);
  if (key == nullptr || ignoresLocalData(request.cachePolicy())) {
    return nullptr;
  }
  ns::MutexLock lock(mutex_);
  const auto found = index_.find(*key);
  if (found == index_.end()) {
    return nullptr;
  }
  entries_.splice(entries_.begin(), entries_, found->second);
  return found->second->image;
}

void HCImageCache::cacheImage(std::shared_ptr<const uikit::Image> image, const ns::URLRequest& request) {
  const std::string* key = keyOfRequest(request);
  if (!image || key == nullptr) {
    return;
  }
  const std::size_t cost = costOfImage(*image);
  ns::MutexLock lock(mutex_);
  if (const auto found = index_.find(*key); found != index_.end()) {
    removeEntry(found->second);
  }
  if (cost > byteLimit_) {
    return;
  }
  entries_.push_front(Entry{*key, std::move(image), cost});
  index_.emplace(*key, entries_.begin());
  totalCost_ += cost;
  evictToLimit();
}

void HCImageCache::removeAllObjects() {
  ns::MutexLock lock(mutex_);
  entries_.clear();
  index_.clear();
  totalCost_ = 0;
}

std::size_t HCImageCache::costOfImage(const uikit::Image& image) {
  std::size_t cost = image.rgbaPixels().size();
  for (const std::shared_ptr<const uikit::Image>& frame : image.images()) {
    cost += frame->rgbaPixels().size();
  }
  return cost;
}

std::size_t HCImageCache::totalCost() const {
  ns::MutexLock lock(mutex_);
  return totalCost_;
}

std::size_t HCImageCache::byteLimit() const {
  ns::MutexLock lock(mutex_);
  return byteLimit_;
}

void HCImageCache::setByteLimit(std::size_t byteLimit) {
  ns::MutexLock lock(mutex_);
  byteLimit_ = byteLimit;
  evictToLimit();
}

void HCImageCache::evictToLimit() {
  while (totalCost_ > byteLimit_ && !entries_.empty()) {
    removeEntry(std::prev(entries_.end()));
  }
}

void HCImageCache::removeEntry(EntryList::iterator entry) {
  totalCost_ -= entry->cost;
  index_.erase(entry->key);
  entries_.erase(entry);
}

}  // namespace http_client
