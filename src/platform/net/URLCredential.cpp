#include "platform/net/URLCredential.h"

#include "platform/foundation/check/Check.h"

namespace ns {

URLCredential URLCredential::forTrust(std::shared_ptr<ServerTrust> trust) {
  QM_DCHECK(trust != nullptr, "trust is not null");
  URLCredential credential;
  credential.trust_ = std::move(trust);
  return credential;
}

URLCredential URLCredential::withUser(std::string user, std::string password) {
  URLCredential credential;
  credential.user_ = std::move(user);
  credential.password_ = std::move(password);
  return credential;
}

}  // namespace ns
