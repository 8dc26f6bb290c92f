#pragma once

// ns::URLCredentialStorage: the process's credentials for HTTP authentication, one default per protection
// space (host, port, protocol, realm and authentication method). Loaders that are allowed to use the storage
// answer a challenge of a space with its default credential. Kept in memory for the life of the process.
//
// Thread-safety: every method may be called from any thread.

#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "platform/foundation/check/Mutex.h"
#include "platform/net/URLAuthenticationChallenge.h"
#include "platform/net/URLCredential.h"

namespace ns {

class URLCredentialStorage {
 public:
  // The one storage of the process.
  static URLCredentialStorage& sharedCredentialStorage();

  // The credential stored for `space`, or nullopt.
  std::optional<URLCredential> defaultCredentialForProtectionSpace(const URLProtectionSpace& space) const;
  // Stores `credential` for `space`, replacing the one stored before.
  void setDefaultCredential(URLCredential credential, const URLProtectionSpace& space);

  // Forgets every credential, as at the start of a fresh process.
  void resetForTesting();

 private:
  using SpaceKey = std::tuple<std::string, int, std::string, std::optional<std::string>, std::string>;
  static SpaceKey keyOf(const URLProtectionSpace& space);

  mutable Mutex mutex_;
  std::map<SpaceKey, URLCredential> credentials_ QM_GUARDED_BY(mutex_);
};

}  // namespace ns
