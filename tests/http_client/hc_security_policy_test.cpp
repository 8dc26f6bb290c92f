// Trust decisions in every pinning mode for the test's chains, directly and against a TLS loopback server.

#include <gtest/gtest.h>

#include "http_client/HCHTTPRequestOperationManager.h"
#include "http_client/HCSecurityPolicy.h"
#include "http_client/http_client_test_util.h"
#include "platform/net/URLError.h"
#include "support/test_certificates.h"

namespace http_client {

namespace {

using httpclienttest::Outcome;
using testsupport::LoopbackHTTPServer;
using testsupport::TestResponse;
constexpr HCSSLPinningMode kCertificate = HCSSLPinningMode::kCertificate;
constexpr HCSSLPinningMode kPublicKey = HCSSLPinningMode::kPublicKey;

const testsupport::TestCertificates& certificates() {
  return testsupport::TestCertificates::shared();
}

struct PolicySettings {
  HCSSLPinningMode mode = HCSSLPinningMode::kNone;
  std::vector<ns::Data> pinned = {};
  bool allowInvalid = false;
  bool validatesChain = true;
  bool validatesName = true;
};

std::shared_ptr<HCSecurityPolicy> policyWith(const PolicySettings& settings) {
  auto policy = HCSecurityPolicy::defaultPolicy();
  policy->setSSLPinningMode(settings.mode);
  if (!settings.pinned.empty()) {
    policy->setPinnedCertificates(settings.pinned);
  }
  policy->setAllowInvalidCertificates(settings.allowInvalid);
  policy->setValidatesCertificateChain(settings.validatesChain);
  policy->setValidatesDomainName(settings.validatesName);
  return policy;
}

class HCSecurityPolicyTest : public testing::Test {
 protected:
  ~HCSecurityPolicyTest() override { ns::ServerTrust::setAdditionalAnchorsForTesting({}); }

  static void trustTheTestCA() {
    ns::ServerTrust::setAdditionalAnchorsForTesting({certificates().root().der});
  }

  const ns::Data leaf_ = certificates().leaf().der;
  const ns::Data intermediate_ = certificates().intermediate().der;
  // Another key for the same names, signed by the intermediate.
  const ns::Data otherLeaf_ = certificates().issueLeaf({"localhost"}, {}).der;
  // The leaf's key in a second certificate.
  const ns::Data renewed_ = certificates().renewedLeaf(certificates().leaf()).der;
};

// What a server cannot present to the TLS test below: a self-signed chain, another name, other keys.
TEST_F(HCSecurityPolicyTest, EachModeAcceptsOnlyTheChainsItShould) {
  trustTheTestCA();
  const ns::Data selfSigned = certificates().selfSignedLeaf().der;
  const std::vector<ns::Data> chain{leaf_, intermediate_};
  const std::vector<ns::Data> otherChain{otherLeaf_, intermediate_};
  const struct {
    PolicySettings policy;
    std::vector<ns::Data> serverChain;
    bool accepted;
    std::string host = "localhost";
  } cases[] = {
      // Without pinning: the platform's verdict, for the host's name unless names are not checked.
      {{}, chain, false, "example.com"},
      {{.validatesName = false}, chain, true, "example.com"},
      {{}, {selfSigned}, false},
      {{.allowInvalid = true}, {selfSigned}, true},
      {{.allowInvalid = true}, {selfSigned}, true, "example.com"},
      // Certificate pinning needs the server's own certificates pinned, even with invalid ones allowed.
      {{.mode = kCertificate, .pinned = {leaf_}, .validatesChain = false}, chain, true},
      {{.mode = kCertificate, .pinned = chain}, chain, false, "example.com"},
      {{.mode = kCertificate, .pinned = {certificates().root().der}}, otherChain, false},
      {{.mode = kCertificate, .pinned = {leaf_}, .allowInvalid = true}, {selfSigned}, false},
      {{.mode = kCertificate, .pinned = {selfSigned}, .allowInvalid = true}, {selfSigned}, true},
      // Public-key pinning needs every key of the chain pinned unless the chain is not validated.
      {{.mode = kPublicKey, .pinned = {leaf_}, .validatesChain = false}, chain, true},
      {{.mode = kPublicKey, .pinned = {leaf_}, .validatesChain = false}, otherChain, false},
      {{.mode = kPublicKey, .pinned = {leaf_}}, {selfSigned}, false},
      // One key pinned twice counts the server's certificates, not matching pairs: the intermediate refuses.
      {{.mode = kPublicKey, .pinned = {leaf_, renewed_}}, chain, false},
      {{.mode = kPublicKey, .pinned = {leaf_, renewed_}}, {renewed_, intermediate_}, false},
  };
  for (std::size_t index = 0; index < std::size(cases); ++index) {
    ns::ServerTrust trust(cases[index].serverChain);
    EXPECT_EQ(policyWith(cases[index].policy)->evaluateServerTrust(trust, cases[index].host),
              cases[index].accepted)
        << "case " << index;
  }
}

TEST_F(HCSecurityPolicyTest, PinningTheSameCertificateTwiceStoresItOnce) {
  HCSecurityPolicy policy;
  policy.setPinnedCertificates(
      std::vector<ns::Data>{leaf_, certificates().root().der, leaf_, ns::Data{1, 2, 3}});
  EXPECT_EQ(policy.pinnedCertificates()->size(), 3u);
  EXPECT_EQ(policy.pinnedPublicKeys()->size(), 2u) << "unreadable data gives no key";
  policy.setPinnedCertificates(std::vector<ns::Data>{leaf_, renewed_});
  EXPECT_EQ(policy.pinnedPublicKeys()->size(), 2u) << "two certificates of one key pin it twice";
  policy.setPinnedCertificates(std::nullopt);
  EXPECT_FALSE(policy.pinnedPublicKeys());
}

class HCSecurityPolicyTLSTest : public HCSecurityPolicyTest {
 protected:
  HCSecurityPolicyTLSTest() : server_(certificates().identity()) {
    server_.route("/secure", TestResponse::text(200, R"({"code":0})", "application/json"));
  }

  // Posts to `server` under `host` with a policy of `settings`; returns what the blocks reported.
  static Outcome post(const LoopbackHTTPServer& server, const PolicySettings& settings,
                      const std::string& host = "localhost") {
    const auto manager = HCHTTPRequestOperationManager::manager();
    manager->setSecurityPolicy(policyWith(settings));
    Outcome outcome;
    manager->POST(server.url("/secure", host), ns::Dictionary{{"a", 1}}, outcome.success(),
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

// A refusal after an acceptance on the one server shows that a resumed TLS session still meets the policy.
TEST_F(HCSecurityPolicyTLSTest, RequestsAreAcceptedOnlyAsThePolicyOfEachModeSays) {
  const std::vector<ns::Data> chain{leaf_, intermediate_};
  const struct {
    bool caTrusted;
    PolicySettings policy;
    bool accepted;
    std::string host = "localhost";
  } cases[] = {
      {false, {}, false},
      {false, {.allowInvalid = true}, true},
      {false, {.mode = kCertificate, .pinned = chain}, false},
      {false, {.mode = kCertificate, .pinned = chain, .allowInvalid = true}, true},
      {true, {}, true},
      {true, {}, true, "127.0.0.1"},
      {true, {.mode = kCertificate, .pinned = chain}, true},
      {true, {.mode = kCertificate, .pinned = {leaf_}}, false},
      {true, {.mode = kPublicKey, .pinned = chain}, true},
      {true, {.mode = kPublicKey, .pinned = {leaf_}}, false},
      {true, {.mode = kPublicKey, .pinned = {renewed_}, .validatesChain = false}, true},
      {true, {.mode = kPublicKey, .pinned = {otherLeaf_}, .validatesChain = false}, false},
  };
  for (std::size_t index = 0; index < std::size(cases); ++index) {
    ns::ServerTrust::setAdditionalAnchorsForTesting(
        cases[index].caTrusted ? std::vector<ns::Data>{certificates().root().der} : std::vector<ns::Data>{});
    const Outcome outcome = post(server_, cases[index].policy, cases[index].host);
    EXPECT_TRUE(cases[index].accepted ? outcome.succeededOnce() : refusedTrust(outcome)) << "case " << index;
  }
}

TEST_F(HCSecurityPolicyTLSTest, AServerForAnotherNameIsRefusedUnlessNamesAreNotChecked) {
  trustTheTestCA();
  LoopbackHTTPServer elsewhere(certificates().identityFor(certificates().issueLeaf({"api.example.com"}, {})));
  elsewhere.route("/secure", TestResponse::text(200, "[]", "application/json"));
  EXPECT_TRUE(refusedTrust(post(elsewhere, {})));
  EXPECT_TRUE(post(elsewhere, {.validatesName = false}).succeededOnce());
}

}  // namespace

}  // namespace http_client
