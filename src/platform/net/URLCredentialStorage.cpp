#include "platform/net/URLCredentialStorage.h"

#include <utility>

namespace ns {

URLCredentialStorage& URLCredentialStorage::sharedCredentialStorage() {
  static URLCredentialStorage storage;
  return storage;
}

URLCredentialStorage::SpaceKey URLCredentialStorage::keyOf(const URLProtectionSpace& space) {
  return {space.host, space.port, space.protocol, space.realm, std::string(space.authenticationMethod)};
}

std::optional<URLCredential> URLCredentialStorage::defaultCredentialForProtectionSpace(
    const URLProtectionSpace& space) const {
  MutexLock lock(mutex_);
  const auto found = credentials_.find(keyOf(space));
  return found != credentials_.end() ? std::optional(found->second) : std::nullopt;
}

void URLCredentialStorage::setDefaultCredential(URLCredential credential, const URLProtectionSpace& space) {
  MutexLock lock(mutex_);
  credentials_.insert_or_assign(keyOf(space), std::move(credential));
}

void URLCredentialStorage::resetForTesting() {
  MutexLock lock(mutex_);
  credentials_.clear();
}

}  // namespace ns
