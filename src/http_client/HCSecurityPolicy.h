#pragma once

// HCSecurityPolicy: decides whether the server trust of a TLS handshake is accepted. Without pinning it
// accepts what the platform's evaluation accepts (for the requested host name, unless
// validatesDomainName() is off). With pinning it also requires the server's certificates, or their public
// keys, to be among those pinned.
//
// Thread-safety: configure a policy before use; evaluation only reads it and may run on any thread.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/values/Data.h"
#include "platform/net/ServerTrust.h"

namespace http_client {

enum class HCSSLPinningMode : unsigned {
  kNone = 0,
  kPublicKey = 1,
  kCertificate = 2,
};

class HCSecurityPolicy {
 public:
  // Returns the DER data of every ".cer" resource of the main bundle, in the order the bundle lists them;
  // read once per process.
  static const std::vector<ns::Data>& defaultPinnedCertificates();
  // Returns a new policy without pinning and without certificates.
  static std::shared_ptr<HCSecurityPolicy> defaultPolicy();
  // Returns a new policy with `mode`, pinned to defaultPinnedCertificates().
  static std::shared_ptr<HCSecurityPolicy> policyWithPinningMode(HCSSLPinningMode mode);

  // No pinning, invalid certificates refused, the whole chain and the domain name checked.
  HCSecurityPolicy() = default;

  // With pinning: every certificate of the server's chain must be pinned (or have a pinned key), not
  // just one.
  bool validatesCertificateChain() const { return validatesCertificateChain_; }
  void setValidatesCertificateChain(bool validates) { validatesCertificateChain_ = validates; }
  // Accepts a trust that the platform's evaluation refuses.
  bool allowInvalidCertificates() const { return allowInvalidCertificates_; }
  void setAllowInvalidCertificates(bool allows) { allowInvalidCertificates_ = allows; }
  // Evaluates with the SSL server policy for the host name instead of the basic X.509 policy.
  bool validatesDomainName() const { return validatesDomainName_; }
  void setValidatesDomainName(bool validates) { validatesDomainName_ = validates; }
  HCSSLPinningMode SSLPinningMode() const { return SSLPinningMode_; }
  void setSSLPinningMode(HCSSLPinningMode mode) { SSLPinningMode_ = mode; }

  // DER certificates to pin to; std::nullopt for none.
  const std::optional<std::vector<ns::Data>>& pinnedCertificates() const { return pinnedCertificates_; }
  // Stores the certificates without duplicates (first ones kept, in order) and recomputes
  // pinnedPublicKeys(): the key of each certificate that can be read.
  void setPinnedCertificates(std::optional<std::vector<ns::Data>> certificates);
  // The public keys of the pinned certificates, in their order; std::nullopt without certificates.
  const std::optional<std::vector<ns::Data>>& pinnedPublicKeys() const { return pinnedPublicKeys_; }

  // Returns true when `trust`, presented by the server for `domain` (std::nullopt: no name is checked), is
  // to be accepted. Replaces the trust's policy, and in certificate mode its anchors.
  bool evaluateServerTrust(ns::ServerTrust& trust,
                           const std::optional<std::string>& domain = std::nullopt) const;

 private:
  bool evaluatePinnedCertificates(ns::ServerTrust& trust, const std::vector<ns::Data>& serverChain) const;
  bool evaluatePinnedPublicKeys(const std::vector<ns::Data>& serverChain) const;

  bool validatesCertificateChain_ = true;
  bool allowInvalidCertificates_ = false;
  bool validatesDomainName_ = true;
  HCSSLPinningMode SSLPinningMode_ = HCSSLPinningMode::kNone;
  std::optional<std::vector<ns::Data>> pinnedCertificates_;
  std::optional<std::vector<ns::Data>> pinnedPublicKeys_;
};

}  // namespace http_client
