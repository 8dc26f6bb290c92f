// Trust decisions for chains made by the test: a CA, an intermediate it signed and leaves the intermediate
// signed, in every pinning mode.

#include <gtest/gtest.h>

#include "http_client/HCSecurityPolicy.h"
#include "support/TestCertificates.h"

namespace {

using testsupport::TestCertificate;
using testsupport::TestCertificates;

const TestCertificates& certificates() {
  return TestCertificates::shared();
}

ns::ServerTrust trustOf(const TestCertificate& leaf) {
  return ns::ServerTrust({leaf.der, certificates().intermediate().der});
}

class HCSecurityPolicyTest : public testing::Test {
 protected:
  HCSecurityPolicyTest() { ns::ServerTrust::setAdditionalAnchorsForTesting({certificates().root().der}); }
  ~HCSecurityPolicyTest() override { ns::ServerTrust::setAdditionalAnchorsForTesting({}); }

  bool accepts(const HCSecurityPolicy& policy, const TestCertificate& leaf,
               const std::string& host = "localhost") {
    ns::ServerTrust trust = trustOf(leaf);
    return policy.evaluateServerTrust(trust, host);
  }

  std::shared_ptr<HCSecurityPolicy> pinned(HCSSLPinningMode mode, std::vector<ns::Data> certificateData) {
    auto policy = std::make_shared<HCSecurityPolicy>();
    policy->setSSLPinningMode(mode);
    policy->setPinnedCertificates(std::move(certificateData));
    return policy;
  }
};

TEST_F(HCSecurityPolicyTest, TheDefaultPolicyAcceptsATrustedServerForItsOwnHostOnly) {
  const auto policy = HCSecurityPolicy::defaultPolicy();
  EXPECT_TRUE(accepts(*policy, certificates().leaf(), "localhost"));
  EXPECT_TRUE(accepts(*policy, certificates().leaf(), "127.0.0.1"));
  EXPECT_FALSE(accepts(*policy, certificates().leaf(), "example.com"));

  policy->setValidatesDomainName(false);
  EXPECT_TRUE(accepts(*policy, certificates().leaf(), "example.com"));
}

TEST_F(HCSecurityPolicyTest, AnUntrustedServerIsRefusedUnlessInvalidCertificatesAreAllowed) {
  const TestCertificate selfSigned = certificates().selfSignedLeaf();
  auto policy = HCSecurityPolicy::defaultPolicy();
  ns::ServerTrust trust({selfSigned.der});
  EXPECT_FALSE(policy->evaluateServerTrust(trust, "localhost"));

  policy->setAllowInvalidCertificates(true);
  EXPECT_TRUE(policy->evaluateServerTrust(trust, "localhost"));
  EXPECT_TRUE(policy->evaluateServerTrust(trust, "example.com"));
}

TEST_F(HCSecurityPolicyTest, CertificatePinningAnchorsAtThePinnedCertificates) {
  const ns::Data& leaf = certificates().leaf().der;
  const ns::Data& intermediate = certificates().intermediate().der;

  auto leafOnly = pinned(HCSSLPinningMode::kCertificate, {leaf});
  EXPECT_FALSE(accepts(*leafOnly, certificates().leaf())) << "the intermediate is not pinned";
  leafOnly->setValidatesCertificateChain(false);
  EXPECT_TRUE(accepts(*leafOnly, certificates().leaf()));

  EXPECT_TRUE(accepts(*pinned(HCSSLPinningMode::kCertificate, {leaf, intermediate}), certificates().leaf()));
  EXPECT_FALSE(accepts(*pinned(HCSSLPinningMode::kCertificate, {certificates().root().der}),
                       certificates().issueLeaf({"localhost"}, {})))
      << "the server's own certificates are not pinned";
  EXPECT_FALSE(accepts(*pinned(HCSSLPinningMode::kCertificate, {leaf, intermediate}), certificates().leaf(),
                       "example.com"));
}

TEST_F(HCSecurityPolicyTest, CertificatePinningRefusesAnUnpinnedServerEvenWhenInvalidCertificatesAreAllowed) {
  const TestCertificate selfSigned = certificates().selfSignedLeaf();
  auto policy = pinned(HCSSLPinningMode::kCertificate, {certificates().leaf().der});
  policy->setAllowInvalidCertificates(true);
  ns::ServerTrust trust({selfSigned.der});
  EXPECT_FALSE(policy->evaluateServerTrust(trust, "localhost"));

  const auto pinnedToSelfSigned = pinned(HCSSLPinningMode::kCertificate, {selfSigned.der});
  pinnedToSelfSigned->setAllowInvalidCertificates(true);
  ns::ServerTrust pinnedTrust({selfSigned.der});
  EXPECT_TRUE(pinnedToSelfSigned->evaluateServerTrust(pinnedTrust, "localhost"));
}

TEST_F(HCSecurityPolicyTest, PublicKeyPinningNeedsEveryKeyOfTheChainPinnedUnlessTheChainIsNotValidated) {
  auto leafKey = pinned(HCSSLPinningMode::kPublicKey, {certificates().leaf().der});
  EXPECT_FALSE(accepts(*leafKey, certificates().leaf()));
  leafKey->setValidatesCertificateChain(false);
  EXPECT_TRUE(accepts(*leafKey, certificates().leaf()));
  EXPECT_FALSE(accepts(*leafKey, certificates().issueLeaf({"localhost"}, {}))) << "another key";

  EXPECT_TRUE(accepts(
      *pinned(HCSSLPinningMode::kPublicKey, {certificates().leaf().der, certificates().intermediate().der}),
      certificates().leaf()));
}

TEST_F(HCSecurityPolicyTest, PublicKeyPinningCountsServerCertificatesNotMatchingPairs) {
  // Two certificates of one key pin that key twice; the unpinned intermediate must still refuse the chain.
  const TestCertificate renewed = certificates().renewedLeaf(certificates().leaf());
  const auto policy = pinned(HCSSLPinningMode::kPublicKey, {certificates().leaf().der, renewed.der});
  ASSERT_EQ(policy->pinnedPublicKeys()->size(), 2u);

  EXPECT_FALSE(accepts(*policy, certificates().leaf()));
  EXPECT_FALSE(accepts(*policy, renewed));
}

TEST_F(HCSecurityPolicyTest, PinningTheSameCertificateTwiceStoresItOnce) {
  HCSecurityPolicy policy;
  policy.setPinnedCertificates(std::vector<ns::Data>{certificates().leaf().der, certificates().root().der,
                                                     certificates().leaf().der, ns::Data{1, 2, 3}});
  EXPECT_EQ(policy.pinnedCertificates()->size(), 3u);
  EXPECT_EQ(policy.pinnedPublicKeys()->size(), 2u) << "unreadable data gives no key";

  policy.setPinnedCertificates(std::nullopt);
  EXPECT_FALSE(policy.pinnedPublicKeys());
}

TEST_F(HCSecurityPolicyTest, PinningModesRefuseAnUntrustedServer) {
  const TestCertificate selfSigned = certificates().selfSignedLeaf();
  for (const HCSSLPinningMode mode : {HCSSLPinningMode::kPublicKey, HCSSLPinningMode::kCertificate}) {
    ns::ServerTrust trust({selfSigned.der});
    EXPECT_FALSE(pinned(mode, {certificates().leaf().der})->evaluateServerTrust(trust, "localhost"));
  }
}

}  // namespace
