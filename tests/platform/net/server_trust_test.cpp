// Trust in servers: evaluation of the test's own chains, and HTTPS loads, where the delegate judges the
// server's chain during the handshake and its decision stands, for new and reused connections alike.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/net/ServerTrust.h"
#include "platform/net/url_connection_test_util.h"
#include "support/test_certificates.h"

namespace {

using nettest::expectURLError;
using nettest::load;
using nettest::requestFor;
using testing::ElementsAre;
using testsupport::LoopbackHTTPServer;
using testsupport::TestResponse;
using TrustDecision = ns::URLConnectionDelegate::TrustDecision;

const testsupport::TestCertificates& certificates() {
  return testsupport::TestCertificates::shared();
}

std::shared_ptr<nettest::RecordingDelegate> deciding(TrustDecision decision) {
  auto delegate = std::make_shared<nettest::RecordingDelegate>();
  delegate->trustPolicy = [decision](ns::ServerTrust&, const std::string&) { return decision; };
  return delegate;
}

// Each test starts with the system's anchors alone; trustRoot() adds the test's own root.
class ServerTrustTest : public testing::Test {
 protected:
  ~ServerTrustTest() override { ns::ServerTrust::setAdditionalAnchorsForTesting({}); }
  static void trustRoot() { ns::ServerTrust::setAdditionalAnchorsForTesting({certificates().root().der}); }

  const ns::Data leaf_ = certificates().leaf().der;
  const std::vector<ns::Data> chain_ = {leaf_, certificates().intermediate().der};
  const ns::Data unreadable_ = ns::Data(leaf_.begin(), leaf_.end() - 1);
};

class URLConnectionTLSTest : public ServerTrustTest {
 protected:
  URLConnectionTLSTest() { server_.route("/secret", TestResponse::text(200, "secret")); }

  LoopbackHTTPServer server_{certificates().identity()};
  const std::string url_ = server_.url("/secret", "localhost");
};

// Chosen anchors replace the default ones and may be any link; unreadable certificates are never trusted.
TEST_F(ServerTrustTest, AChainIsValidOnlyWhenItReachesAnAnchor) {
  EXPECT_FALSE(ns::ServerTrust(chain_).evaluate());
  trustRoot();
  const ns::Data selfSigned = certificates().selfSignedLeaf().der;
  struct Case {
    std::vector<ns::Data> chain;
    std::optional<std::vector<ns::Data>> anchors;
    bool valid;
  };
  const std::vector<Case> cases = {{chain_, std::nullopt, true},
                                   {{leaf_}, std::nullopt, false},
                                   {chain_, {{leaf_}}, true},
                                   {chain_, {{certificates().intermediate().der}}, true},
                                   {chain_, {{selfSigned}}, false},
                                   {{selfSigned}, std::nullopt, false},
                                   {{selfSigned}, {{selfSigned}}, true},
                                   {{unreadable_}, {{unreadable_}}, false},
                                   {{}, std::nullopt, false}};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    ns::ServerTrust trust(cases[i].chain);
    if (cases[i].anchors) {
      trust.setAnchorCertificates(*cases[i].anchors);
    }
    EXPECT_EQ(trust.evaluate(), cases[i].valid) << "case " << i;
  }
}

TEST_F(ServerTrustTest, TheServerPolicyChecksTheNameOrAddress) {
  trustRoot();
  ns::ServerTrust trust(chain_);
  const std::vector<std::pair<std::optional<std::string>, bool>> cases = {
      {"localhost", true},  {"127.0.0.1", true},      {"example.com", false},
      {"127.0.0.2", false}, {"sub.localhost", false}, {std::nullopt, true}};
  for (const auto& [host, valid] : cases) {
    trust.setSSLServerPolicy(host);
    EXPECT_EQ(trust.evaluate(), valid) << host.value_or("no host");
  }
  trust.setSSLServerPolicy("example.com");
  trust.setBasicX509Policy();
  EXPECT_TRUE(trust.evaluate());
}

TEST_F(ServerTrustTest, PublicKeysIdentifyTheKeyPairs) {
  const std::optional<ns::Data> leafKey = ns::ServerTrust::publicKeyOfCertificate(leaf_);
  ASSERT_TRUE(leafKey.has_value());
  EXPECT_EQ(ns::ServerTrust(chain_).publicKey(), leafKey);
  EXPECT_NE(ns::ServerTrust::publicKeyOfCertificate(certificates().intermediate().der), leafKey);
  EXPECT_NE(ns::ServerTrust::publicKeyOfCertificate(certificates().issueLeaf({"localhost"}, {}).der),
            leafKey);
  EXPECT_FALSE(ns::ServerTrust({unreadable_}).publicKey().has_value());
}

TEST_F(URLConnectionTLSTest, AServerChainingToATrustedAnchorIsAcceptedByDefault) {
  trustRoot();
  for (const std::string host : {"localhost", "127.0.0.1"}) {
    const auto delegate = load(requestFor(server_.url("/secret", host)));
    EXPECT_THAT(delegate->events, ElementsAre("trust " + host, "response 200", "data", "finish"));
    EXPECT_EQ(delegate->body, "secret");
    EXPECT_THAT(delegate->presentedChains, ElementsAre(chain_));
  }
}

// By default an unknown issuer, or a certificate for another name, fails the handshake before any request.
TEST_F(URLConnectionTLSTest, AnUntrustedServerFailsTheHandshakeBeforeAnyRequest) {
  expectURLError(*load(requestFor(url_)), ns::kURLErrorServerCertificateUntrusted, url_);
  EXPECT_EQ(server_.requestCount(), 0u);
  trustRoot();
  LoopbackHTTPServer misnamed(certificates().identityFor(certificates().issueLeaf({"elsewhere.test"}, {})));
  const std::string url = misnamed.url("/secret", "localhost");
  expectURLError(*load(requestFor(url)), ns::kURLErrorServerCertificateUntrusted, url);
  EXPECT_EQ(misnamed.requestCount(), 0u);
}

// A refused server was reached all the same: the failure names it, as the response of an accepted one does.
TEST_F(URLConnectionTLSTest, TheServerJudgedIsNamedWhateverTheDecision) {
  const auto refused = load(requestFor(url_), deciding(TrustDecision::kRefuse));
  expectURLError(*refused, ns::kURLErrorServerCertificateUntrusted, url_);
  EXPECT_EQ(ns::peerAddressOf(*refused->error), "127.0.0.1");
  const auto accepted = load(requestFor(url_), deciding(TrustDecision::kAccept));
  ASSERT_TRUE(accepted->finished);
  EXPECT_EQ(accepted->response->peerAddress(), "127.0.0.1");
}

// The delegate's decision stands whatever the anchors, and a reused connection is judged again for each load.
TEST_F(URLConnectionTLSTest, ThePolicyDecidesWhateverTheAnchorsForEachLoad) {
  trustRoot();
  const testsupport::TestCertificate selfSignedLeaf = certificates().selfSignedLeaf();
  LoopbackHTTPServer selfSigned(testsupport::TLSIdentity{selfSignedLeaf.pem, selfSignedLeaf.privateKeyPEM});
  selfSigned.route("/secret", TestResponse::text(200, "self"));
  expectURLError(*load(requestFor(url_), deciding(TrustDecision::kRefuse)),
                 ns::kURLErrorServerCertificateUntrusted, url_);
  EXPECT_EQ(server_.requestCount(), 0u);
  EXPECT_TRUE(load(requestFor(url_), deciding(TrustDecision::kAccept))->finished);
  const auto refusedReused = load(requestFor(url_), deciding(TrustDecision::kRefuse));
  expectURLError(*refusedReused, ns::kURLErrorServerCertificateUntrusted, url_);
  EXPECT_THAT(refusedReused->presentedChains, ElementsAre(chain_));
  EXPECT_EQ(server_.requestCount(), 1u);
  const auto selfSignedAccepted =
      load(requestFor(selfSigned.url("/secret", "localhost")), deciding(TrustDecision::kAccept));
  EXPECT_EQ(selfSignedAccepted->body, "self");
}

TEST_F(URLConnectionTLSTest, AServerThatSpeaksNoTLSFailsTheSecureConnection) {
  LoopbackHTTPServer plain;
  const std::string url = "https" + plain.url("/secret").substr(4);
  const auto delegate = load(requestFor(url));
  expectURLError(*delegate, ns::kURLErrorSecureConnectionFailed, url);
  EXPECT_TRUE(delegate->presentedChains.empty());
}

}  // namespace
