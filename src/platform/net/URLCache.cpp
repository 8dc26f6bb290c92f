#include "platform/net/URLCache.h"

#include <algorithm>
#include <utility>

#include "platform/net/HTTPHeaderFields.h"
#include "platform/net/HTTPURLResponse.h"

namespace ns {

namespace {

bool saysNoStore(const std::optional<std::string>& cacheControl) {
  return cacheControl && lowercaseASCII(*cacheControl).find("no-store") != std::string::npos;
}

}  // namespace

URLCache& URLCache::sharedURLCache() {
  static URLCache cache;
  return cache;
}

std::optional<CachedURLResponse> URLCache::cachedResponseForRequest(const URLRequest& request) const {
  if (!request.url()) {
    return std::nullopt;
  }
  MutexLock lock(mutex_);
  const auto found = entries_.find(request.url()->absoluteString());
  return found != entries_.end() ? std::optional(found->second) : std::nullopt;
}

void URLCache::storeCachedResponse(CachedURLResponse cached, const URLRequest& request) {
  if (!request.url() || !cached.response || cached.data.size() > kMaximumEntryBytes) {
    return;
  }
  const std::string key = request.url()->absoluteString();
  MutexLock lock(mutex_);
  removeLocked(key);
  while (usage_ + cached.data.size() > kMemoryCapacity && !storedOrder_.empty()) {
    removeLocked(storedOrder_.front());
  }
  usage_ += cached.data.size();
  storedOrder_.push_back(key);
  entries_.emplace(key, std::move(cached));
}

void URLCache::removeAllCachedResponses() {
  MutexLock lock(mutex_);
  entries_.clear();
  storedOrder_.clear();
  usage_ = 0;
}

std::size_t URLCache::currentMemoryUsage() const {
  MutexLock lock(mutex_);
  return usage_;
}

void URLCache::removeLocked(const std::string& key) {
  const auto found = entries_.find(key);
  if (found == entries_.end()) {
    return;
  }
  usage_ -= found->second.data.size();
  entries_.erase(found);
  storedOrder_.erase(std::find(storedOrder_.begin(), storedOrder_.end(), key));
}

bool mayCacheResponse(const URLRequest& request, const URLResponse& response) {
  const auto* http = dynamic_cast<const HTTPURLResponse*>(&response);
  if (http == nullptr || http->statusCode() != 200 || request.HTTPMethod() != "GET") {
    return false;
  }
  const auto responseControl = http->allHeaderFields().find("Cache-Control");
  return !saysNoStore(request.valueForHTTPHeaderField("Cache-Control")) &&
         !(responseControl != http->allHeaderFields().end() && saysNoStore(responseControl->second));
}

}  // namespace ns
