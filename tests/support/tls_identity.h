#pragma once

// testsupport::TLSIdentity: what a TLS test server presents: its certificate chain and private key, in PEM.

#include <string>

namespace testsupport {

struct TLSIdentity {
  // The server's certificate first, then the certificates that link it to its CA.
  std::string certificateChainPEM;
  std::string privateKeyPEM;
};

}  // namespace testsupport
