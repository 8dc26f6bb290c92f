#pragma once

// ns::URLCredential: what answers an authentication challenge: a user name with its password (for an HTTP
// authentication) or a server's trust (for a TLS server challenge). A plain value; thread-safe as a value,
// though the trust it may share is used by one thread at a time.

#include <memory>
#include <string>

#include "platform/net/ServerTrust.h"

namespace ns {

class URLCredential {
 public:
  // A credential that accepts `trust`. REQUIRES: trust is not null.
  static URLCredential forTrust(std::shared_ptr<ServerTrust> trust);
  static URLCredential withUser(std::string user, std::string password);

  const std::string& user() const { return user_; }
  const std::string& password() const { return password_; }
  // The trust accepted; nullptr for a user credential.
  const std::shared_ptr<ServerTrust>& serverTrust() const { return trust_; }

 private:
  URLCredential() = default;

  std::string user_;
  std::string password_;
  std::shared_ptr<ServerTrust> trust_;
};

}  // namespace ns
