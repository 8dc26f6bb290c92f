// Requests to a TLS loopback server whose chain the test made (CA, intermediate, leaf), judged by the
// manager's security policy in each pinning mode.

#include <gtest/gtest.h>

#include "http_client/HCHTTPRequestOperationManager.h"
#include "http_client/HTTPClientOutcome.h"
#include "platform/net/URLError.h"
#include "support/LoopbackHTTPServer.h"
#include "support/TestCertificates.h"

namespace {

using httpclienttest::Outcome;
using testsupport::LoopbackHTTPServer;
using testsupport::TestCertificates;
using testsupport::TestResponse;

const TestCertificates& certificates() {
  return TestCertificates::shared();
}

std::shared_ptr<HCSecurityPolicy> pinnedPolicy(HCSSLPinningMode mode, std::vector<ns::Data> pinned) {
  auto policy = std::make_shared<HCSecurityPolicy>();
  policy->setSSLPinningMode(mode);
  policy->setPinnedCertificates(std::move(pinned));
  return policy;
}

class HCSecurityPolicyTLSTest : public testing::Test {
 protected:
  HCSecurityPolicyTLSTest() : server_(certificates().identity()) {
    server_.route("/secure", TestResponse::text(200, R"({"code":0})", "application/json"));
  }
  ~HCSecurityPolicyTLSTest() override { ns::ServerTrust::setAdditionalAnchorsForTesting({}); }

  static void trustTheTestCA() {
    ns::ServerTrust::setAdditionalAnchorsForTesting({certificates().root().der});
  }

  // Posts to the server under `host` with `policy`; returns what the blocks reported.
  Outcome post(const std::shared_ptr<HCSecurityPolicy>& policy, const std::string& host = "localhost") {
    const auto manager = HCHTTPRequestOperationManager::manager();
    manager->setSecurityPolicy(policy);
    Outcome outcome;
    manager->POST(server_.url("/secure", host), ns::Dictionary{{"a", 1}}, outcome.success(),
                  outcome.failure());
    EXPECT_TRUE(outcome.waitForEnd());
    return outcome;
  }

  static bool refusedTrust(const Outcome& outcome) {
    return outcome.failedOnce() && outcome.error->domain() == ns::kURLErrorDomain &&
           outcome.error->code() == ns::kURLErrorServerCertificateUntrusted;
  }

  LoopbackHTTPServer server_;
};

TEST_F(HCSecurityPolicyTLSTest, WithoutPinningATrustedServerIsAcceptedForItsOwnNamesOnly) {
  EXPECT_TRUE(refusedTrust(post(HCSecurityPolicy::defaultPolicy()))) << "the test CA is not trusted yet";

  trustTheTestCA();
  EXPECT_TRUE(post(HCSecurityPolicy::defaultPolicy(), "localhost").succeededOnce());
  EXPECT_TRUE(post(HCSecurityPolicy::defaultPolicy(), "127.0.0.1").succeededOnce());
}

TEST_F(HCSecurityPolicyTLSTest, AServerForAnotherNameIsRefusedUnlessNamesAreNotChecked) {
  trustTheTestCA();
  LoopbackHTTPServer elsewhere(certificates().identityFor(certificates().issueLeaf({"api.example.com"}, {})));
  elsewhere.route("/secure", TestResponse::text(200, "[]", "application/json"));
  const auto postElsewhere = [&](const std::shared_ptr<HCSecurityPolicy>& policy) {
    const auto manager = HCHTTPRequestOperationManager::manager();
    manager->setSecurityPolicy(policy);
    Outcome outcome;
    manager->POST(elsewhere.url("/secure", "localhost"), std::nullopt, outcome.success(), outcome.failure());
    EXPECT_TRUE(outcome.waitForEnd());
    return outcome;
  };

  EXPECT_TRUE(refusedTrust(postElsewhere(HCSecurityPolicy::defaultPolicy())));
  const auto namesUnchecked = HCSecurityPolicy::defaultPolicy();
  namesUnchecked->setValidatesDomainName(false);
  EXPECT_TRUE(postElsewhere(namesUnchecked).succeededOnce());
}

TEST_F(HCSecurityPolicyTLSTest, InvalidCertificatesMayBeAllowedWithoutPinning) {
  const auto lenient = HCSecurityPolicy::defaultPolicy();
  lenient->setAllowInvalidCertificates(true);
  EXPECT_TRUE(post(lenient).succeededOnce());
}

TEST_F(HCSecurityPolicyTLSTest, CertificatePinningAcceptsOnlyThePinnedChain) {
  const ns::Data& leaf = certificates().leaf().der;
  const ns::Data& intermediate = certificates().intermediate().der;

  const auto pinnedChain = pinnedPolicy(HCSSLPinningMode::kCertificate, {leaf, intermediate});
  EXPECT_TRUE(refusedTrust(post(pinnedChain))) << "an untrusted chain needs invalid certificates allowed";
  pinnedChain->setAllowInvalidCertificates(true);
  EXPECT_TRUE(post(pinnedChain).succeededOnce());

  trustTheTestCA();
  EXPECT_TRUE(post(pinnedPolicy(HCSSLPinningMode::kCertificate, {leaf, intermediate})).succeededOnce());
  EXPECT_TRUE(refusedTrust(post(pinnedPolicy(HCSSLPinningMode::kCertificate, {leaf}))));
  EXPECT_TRUE(refusedTrust(
      post(pinnedPolicy(HCSSLPinningMode::kCertificate, {certificates().issueLeaf({"localhost"}, {}).der}))));
}

TEST_F(HCSecurityPolicyTLSTest, PublicKeyPinningAcceptsOnlyPinnedKeys) {
  trustTheTestCA();
  const ns::Data& leaf = certificates().leaf().der;
  const ns::Data& intermediate = certificates().intermediate().der;

  EXPECT_TRUE(post(pinnedPolicy(HCSSLPinningMode::kPublicKey, {leaf, intermediate})).succeededOnce());
  EXPECT_TRUE(refusedTrust(post(pinnedPolicy(HCSSLPinningMode::kPublicKey, {leaf}))));

  const auto leafKeyOnly =
      pinnedPolicy(HCSSLPinningMode::kPublicKey, {certificates().renewedLeaf(certificates().leaf()).der});
  leafKeyOnly->setValidatesCertificateChain(false);
  EXPECT_TRUE(post(leafKeyOnly).succeededOnce()) << "the renewed certificate carries the server's key";

  const auto otherKey =
      pinnedPolicy(HCSSLPinningMode::kPublicKey, {certificates().issueLeaf({"localhost"}, {}).der});
  otherKey->setValidatesCertificateChain(false);
  EXPECT_TRUE(refusedTrust(post(otherKey)));
}

}  // namespace
