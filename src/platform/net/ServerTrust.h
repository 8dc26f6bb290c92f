#pragma once

// ns::ServerTrust: the certificate chain a TLS server presented, with the policy and the anchors it is to be
// judged by. A connection hands one to its delegate during the handshake; the caller's policy reads the
// certificates, may change the policy or the anchors, and evaluates. Certificates are DER data; public keys
// are the DER of their SubjectPublicKeyInfo, so two keys are equal exactly when their data are.
//
// By default the anchors are the system's trusted certificates plus any given to
// setAdditionalAnchorsForTesting(), and the policy is the basic X.509 one.
// Thread-safety: one object is used by one thread at a time; the static functions are thread-safe.

#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/check/OneThreadAtATimeChecker.h"
#include "platform/foundation/values/Data.h"

namespace ns {

class ServerTrust {
 public:
  // A trust of `chain`: DER certificates, the server's own (leaf) first, then the ones it sent to link it to
  // an anchor, in the order sent.
  explicit ServerTrust(std::vector<Data> chain);

  // The chain as presented, leaf first.
  const std::vector<Data>& certificateChain() const { return chain_; }

  // Judges the leaf as a TLS server: it must be meant for server use and, when `host` is given, be issued for
  // that DNS name or IP address. Without a host no name is checked.
  void setSSLServerPolicy(std::optional<std::string> host);
  // Judges the chain by X.509 path validation alone.
  void setBasicX509Policy();
  // Trusts exactly `anchors` (DER) from now on instead of the default anchors. Any anchor ends a path, also
  // one that is not self-signed (a pinned intermediate or leaf).
  void setAnchorCertificates(std::vector<Data> anchors);

  // Returns true when the chain leads from the leaf to an anchor under the policy at the present time; false
  // when it does not or when a certificate cannot be read.
  bool evaluate() const;

  // Returns the leaf's public key, or nullopt when the leaf cannot be read.
  std::optional<Data> publicKey() const;
  // Returns the public key of the DER certificate `certificate`, or nullopt when it cannot be read.
  static std::optional<Data> publicKeyOfCertificate(const Data& certificate);

  // Adds DER certificates to the default anchors of every trust evaluated from now on (a test's own CA);
  // an empty list removes them again.
  static void setAdditionalAnchorsForTesting(std::vector<Data> anchors);

 private:
  enum class Policy { kBasicX509, kSSLServer };

  std::vector<Data> chain_;
  Policy policy_ = Policy::kBasicX509;
  std::optional<std::string> host_;
  std::optional<std::vector<Data>> anchors_;
  OneThreadAtATimeChecker useChecker_;
};

}  // namespace ns
