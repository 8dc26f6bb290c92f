#include "http_client/HCSecurityPolicy.h"

#include <algorithm>

#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/FileManager.h"

namespace http_client {

namespace {

std::vector<ns::Data> certificatesInMainBundle() {
  std::vector<ns::Data> certificates;
  const std::string folder = ns::Bundle::mainBundle()->resourcePath();
  const ns::Result<std::vector<std::string>> names =
      ns::FileManager::defaultManager().contentsOfDirectoryAtPath(folder);
  if (!names) {
    return certificates;
  }
  constexpr std::string_view kExtension = ".cer";
  for (const std::string& name : *names) {
    if (name.size() > kExtension.size() && name.ends_with(kExtension)) {
      if (ns::Result<ns::Data> data = ns::FileManager::defaultManager().contentsAtPath(folder + "/" + name)) {
        certificates.push_back(std::move(*data));
      }
    }
  }
  return certificates;
}

bool contains(const std::vector<ns::Data>& list, const ns::Data& element) {
  return std::find(list.begin(), list.end(), element) != list.end();
}

}  // namespace

const std::vector<ns::Data>& HCSecurityPolicy::defaultPinnedCertificates() {
  static const std::vector<ns::Data> certificates = certificatesInMainBundle();
  return certificates;
}

std::shared_ptr<HCSecurityPolicy> HCSecurityPolicy::defaultPolicy() {
  return std::make_shared<HCSecurityPolicy>();
}

std::shared_ptr<HCSecurityPolicy> HCSecurityPolicy::policyWithPinningMode(HCSSLPinningMode mode) {
  auto policy = std::make_shared<HCSecurityPolicy>();
  policy->setSSLPinningMode(mode);
  policy->setPinnedCertificates(defaultPinnedCertificates());
  return policy;
}

void HCSecurityPolicy::setPinnedCertificates(std::optional<std::vector<ns::Data>> certificates) {
  pinnedPublicKeys_.reset();
  pinnedCertificates_.reset();
  if (!certificates) {
    return;
  }
  std::vector<ns::Data> unique;
  std::vector<ns::Data> keys;
  for (ns::Data& certificate : *certificates) {
    if (contains(unique, certificate)) {
      continue;
    }
    if (std::optional<ns::Data> key = ns::ServerTrust::publicKeyOfCertificate(certificate)) {
      keys.push_back(std::move(*key));
    }
    unique.push_back(std::move(certificate));
  }
  pinnedCertificates_ = std::move(unique);
  pinnedPublicKeys_ = std::move(keys);
}

bool HCSecurityPolicy::evaluateServerTrust(ns::ServerTrust& trust,
                                           const std::optional<std::string>& domain) const {
  if (validatesDomainName_) {
    trust.setSSLServerPolicy(domain);
  } else {
    trust.setBasicX509Policy();
  }
  if (SSLPinningMode_ == HCSSLPinningMode::kNone) {
    return allowInvalidCertificates_ || trust.evaluate();
  }
  if (!trust.evaluate() && !allowInvalidCertificates_) {
    return false;
  }
  const std::vector<ns::Data> serverChain = trust.certificateChain();
  switch (SSLPinningMode_) {
    case HCSSLPinningMode::kCertificate:
      return evaluatePinnedCertificates(trust, serverChain);
    case HCSSLPinningMode::kPublicKey:
      return evaluatePinnedPublicKeys(serverChain);
    default:
      return false;
  }
}

bool HCSecurityPolicy::evaluatePinnedCertificates(ns::ServerTrust& trust,
                                                  const std::vector<ns::Data>& serverChain) const {
  const std::vector<ns::Data> pinned = pinnedCertificates_.value_or(std::vector<ns::Data>());
  trust.setAnchorCertificates(pinned);
  if (!trust.evaluate()) {
    return false;
  }
  if (!validatesCertificateChain_) {
    return true;
  }
  return std::all_of(serverChain.begin(), serverChain.end(),
                     [&](const ns::Data& certificate) { return contains(pinned, certificate); });
}

// Counts the server's certificates whose key is pinned, so that a key pinned twice (two certificates
// issued for one key) cannot stand in for a certificate of the chain that is not pinned.
bool HCSecurityPolicy::evaluatePinnedPublicKeys(const std::vector<ns::Data>& serverChain) const {
  const std::vector<ns::Data> pinnedKeys = pinnedPublicKeys_.value_or(std::vector<ns::Data>());
  std::vector<ns::Data> serverKeys;
  for (const ns::Data& certificate : serverChain) {
    if (std::optional<ns::Data> key = ns::ServerTrust::publicKeyOfCertificate(certificate)) {
      serverKeys.push_back(std::move(*key));
    }
  }
  if (!validatesCertificateChain_ && serverKeys.size() > 1) {
    serverKeys.resize(1);
  }
  const auto pinnedCount = std::count_if(serverKeys.begin(), serverKeys.end(),
                                         [&](const ns::Data& key) { return contains(pinnedKeys, key); });
  if (pinnedCount == 0) {
    return false;
  }
  return !validatesCertificateChain_ || static_cast<std::size_t>(pinnedCount) == serverChain.size();
}

}  // namespace http_client
