#pragma once

// testsupport::TestCertificates: a certificate authority made by the test run, an intermediate it signed,
// and a server certificate (leaf) the intermediate signed for "localhost" and 127.0.0.1, with P-256 keys.
// Further leaves can be issued for other names, and a self-signed one made. Certificates come as PEM and
// DER, for TLS servers and for trust and pinning checks.
// Thread-safety: const methods are thread-safe; shared() is made once per process.

#include <string>
#include <vector>

#include "platform/foundation/values/Data.h"
#include "support/tls_identity.h"

namespace testsupport {

struct TestCertificate {
  std::string pem;
  ns::Data der;
  std::string privateKeyPEM;
};

class TestCertificates {
 public:
  // The process's set, made on first use.
  static const TestCertificates& shared();

  TestCertificates();

  const TestCertificate& root() const { return root_; }
  const TestCertificate& intermediate() const { return intermediate_; }
  const TestCertificate& leaf() const { return leaf_; }

  // Returns a new server certificate signed by the intermediate for `dnsNames` and `ipAddresses`.
  TestCertificate issueLeaf(const std::vector<std::string>& dnsNames,
                            const std::vector<std::string>& ipAddresses) const;
  // Returns another server certificate for "localhost" and 127.0.0.1, signed by the intermediate, with the
  // key of `serverCertificate`: a certificate renewed without a new key.
  TestCertificate renewedLeaf(const TestCertificate& serverCertificate) const;
  // Returns a server certificate for "localhost" and 127.0.0.1 that signs itself.
  TestCertificate selfSignedLeaf() const;

  // What a server presents with `serverCertificate`: it, then the intermediate.
  // REQUIRES: serverCertificate was issued by the intermediate.
  TLSIdentity identityFor(const TestCertificate& serverCertificate) const;
  // The same for leaf().
  TLSIdentity identity() const { return identityFor(leaf_); }

 private:
  TestCertificate root_;
  TestCertificate intermediate_;
  TestCertificate leaf_;
};

}  // namespace testsupport
