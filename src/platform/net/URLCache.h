#pragma once

// ns::URLCache: the responses URL loading has been allowed to keep, in memory, by URL. A load of a GET that
// ends in a whole 200 reply, neither side saying "no-store", proposes it to its delegate, which may change
// it or keep nothing; what the delegate answers is stored here. Loads always go to the server: the cache is
// where a caller finds what was kept, and what it holds stays within its capacity (the oldest entries go
// first; a body over a twentieth of the capacity is never proposed).
//
// Thread-safety: every method may be called from any thread.

#include <cstddef>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/values/Data.h"
#include "platform/net/URLRequest.h"
#include "platform/net/URLResponse.h"

namespace ns {

struct CachedURLResponse {
  std::shared_ptr<const URLResponse> response;
  Data data;
};

class URLCache {
 public:
  static constexpr std::size_t kMemoryCapacity = 4 * 1024 * 1024;
  static constexpr std::size_t kMaximumEntryBytes = kMemoryCapacity / 20;

  // The one cache of the process.
  static URLCache& sharedURLCache();

  // The response stored for `request`'s URL, or nullopt.
  std::optional<CachedURLResponse> cachedResponseForRequest(const URLRequest& request) const;
  // Stores `cached` for `request`'s URL, replacing what was there; a body over kMaximumEntryBytes is not
  // stored.
  void storeCachedResponse(CachedURLResponse cached, const URLRequest& request);
  void removeAllCachedResponses();
  // The body bytes held.
  std::size_t currentMemoryUsage() const;

 private:
  void removeLocked(const std::string& key) QM_REQUIRES(mutex_);

  mutable Mutex mutex_;
  std::map<std::string, CachedURLResponse> entries_ QM_GUARDED_BY(mutex_);
  std::list<std::string> storedOrder_ QM_GUARDED_BY(mutex_);  // oldest first
  std::size_t usage_ QM_GUARDED_BY(mutex_) = 0;
};

// True when a load of `request` that ended in `response` may propose it for caching.
bool mayCacheResponse(const URLRequest& request, const URLResponse& response);

}  // namespace ns
