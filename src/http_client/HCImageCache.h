#pragma once

// HCImageCache: decoded images kept in memory under the absolute strings of the URLs of the requests that
// loaded them, so that a picture shown in several places is fetched once. The cache holds at most
// byteLimit() bytes of pixels: storing more evicts the least recently used images first, and an image
// larger than the whole limit is not kept. Linux warns no process of low memory, so the bound is what keeps
// the cache in check; the shared default cache (HCSharedImageCaches.h) is also emptied on every memory
// warning the application posts.
//
// Thread-safety: any thread.

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/foundation/check/Mutex.h"
#include "platform/net/URLRequest.h"
#include "platform/uikit/drawing/Image.h"

namespace http_client {

class HCImageCache {
 public:
  static constexpr std::size_t kDefaultByteLimit = std::size_t{64} * 1024 * 1024;

  explicit HCImageCache(std::size_t byteLimit = kDefaultByteLimit);
  HCImageCache(const HCImageCache&) = delete;
  HCImageCache& operator=(const HCImageCache&) = delete;

  // Returns the image kept for the request's URL, or nullptr: always for a request without a URL, and for
  // one whose cache policy ignores local data (reload ignoring local cache data, or local and remote).
  std::shared_ptr<const uikit::Image> cachedImageForRequest(const ns::URLRequest& request);
  // Keeps `image` for the request's URL, replacing an earlier one. Does nothing without an image or a URL.
  void cacheImage(std::shared_ptr<const uikit::Image> image, const ns::URLRequest& request);
  void removeAllObjects();

  // The bytes an image takes in the cache: its pixels and those of its frames.
  static std::size_t costOfImage(const uikit::Image& image);
  std::size_t totalCost() const;
  std::size_t byteLimit() const;
  // Evicts at once what no longer fits.
  void setByteLimit(std::size_t byteLimit);

 private:
  struct Entry {
    std::string key;
    std::shared_ptr<const uikit::Image> image;
    std::size_t cost = 0;
  };
  using EntryList = std::list<Entry>;

  // REQUIRES: mutex_ held.
  void evictToLimit() QM_REQUIRES(mutex_);
  void removeEntry(EntryList::iterator entry) QM_REQUIRES(mutex_);

  mutable ns::Mutex mutex_;
  // Most recently used first.
  EntryList entries_ QM_GUARDED_BY(mutex_);
  std::unordered_map<std::string, EntryList::iterator> index_ QM_GUARDED_BY(mutex_);
  std::size_t totalCost_ QM_GUARDED_BY(mutex_) = 0;
  std::size_t byteLimit_ QM_GUARDED_BY(mutex_);
};

}  // namespace http_client
