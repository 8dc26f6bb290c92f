// Trust in servers: evaluation of certificate chains made by the test (anchors, policies and public keys),
// and HTTPS loads, where the server's chain goes to the delegate during the handshake and the delegate's
// decision stands, for new and for reused connections alike.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/net/ServerTrust.h"
#include "platform/net/URLConnection.h"
#include "platform/net/URLConnectionTestUtil.h"
#include "support/LoopbackHTTPServer.h"
#include "support/TestCertificates.h"

namespace {

using nettest::expectURLError;
using nettest::load;
using nettest::RecordingDelegate;
using nettest::requestFor;
using testing::ElementsAre;
using testsupport::LoopbackHTTPServer;
using testsupport::TestCertificates;
using testsupport::TestResponse;
using TrustDecision = ns::URLConnectionDelegate::TrustDecision;

const TestCertificates& certificates() {
  return TestCertificates::shared();
}

// Returns a delegate that answers every trust question with `decision`.
std::shared_ptr<RecordingDelegate> deciding(TrustDecision decision) {
  auto delegate = std::make_shared<RecordingDelegate>();
  delegate->trustPolicy = [decision](ns::ServerTrust&, const std::string&) { return decision; };
  return delegate;
}

ns::ServerTrust serverChain() {
  return ns::ServerTrust({certificates().leaf().der, certificates().intermediate().der});
}

class ServerTrustTest : public testing::Test {
 protected:
  ~ServerTrustTest() override { ns::ServerTrust::setAdditionalAnchorsForTesting({}); }
};

class URLConnectionTLSTest : public ServerTrustTest {
 protected:
  URLConnectionTLSTest() : server_(certificates().identity()) {
    server_.route("/secret", TestResponse::text(200, "secret"));
  }

  LoopbackHTTPServer server_;
  const std::string url_ = server_.url("/secret", "localhost");
};

TEST_F(ServerTrustTest, AChainIsValidOnlyWhenItReachesAnAnchor) {
  ns::ServerTrust trust = serverChain();
  EXPECT_FALSE(trust.evaluate());

  ns::ServerTrust::setAdditionalAnchorsForTesting({certificates().root().der});
  EXPECT_TRUE(trust.evaluate());

  ns::ServerTrust leafAlone({certificates().leaf().der});
  EXPECT_FALSE(leafAlone.evaluate()) << "the intermediate is missing";
}

TEST_F(ServerTrustTest, TheServerPolicyChecksTheNameOrAddress) {
  ns::ServerTrust::setAdditionalAnchorsForTesting({certificates().root().der});
  ns::ServerTrust trust = serverChain();

  for (const std::string host : {"localhost", "127.0.0.1"}) {
    trust.setSSLServerPolicy(host);
    EXPECT_TRUE(trust.evaluate()) << host;
  }
  for (const std::string host : {"example.com", "127.0.0.2", "sub.localhost"}) {
    trust.setSSLServerPolicy(host);
    EXPECT_FALSE(trust.evaluate()) << host;
  }
  trust.setSSLServerPolicy(std::nullopt);
  EXPECT_TRUE(trust.evaluate());
  trust.setSSLServerPolicy("example.com");
  trust.setBasicX509Policy();
  EXPECT_TRUE(trust.evaluate());
}

TEST_F(ServerTrustTest, ChosenAnchorsReplaceTheDefaultOnesAndMayBeAnyLink) {
  ns::ServerTrust::setAdditionalAnchorsForTesting({certificates().root().der});
  ns::ServerTrust trust = serverChain();

  trust.setAnchorCertificates({certificates().leaf().der});
  EXPECT_TRUE(trust.evaluate());
  trust.setAnchorCertificates({certificates().intermediate().der});
  EXPECT_TRUE(trust.evaluate());
  trust.setAnchorCertificates({certificates().selfSignedLeaf().der});
  EXPECT_FALSE(trust.evaluate());
}

TEST_F(ServerTrustTest, ASelfSignedServerIsValidOnlyAsItsOwnAnchor) {
  const testsupport::TestCertificate selfSigned = certificates().selfSignedLeaf();
  ns::ServerTrust trust({selfSigned.der});
  EXPECT_FALSE(trust.evaluate());
  trust.setAnchorCertificates({selfSigned.der});
  EXPECT_TRUE(trust.evaluate());
}

TEST_F(ServerTrustTest, PublicKeysIdentifyTheKeyPairs) {
  const std::optional<ns::Data> leafKey = ns::ServerTrust::publicKeyOfCertificate(certificates().leaf().der);
  ASSERT_TRUE(leafKey.has_value());
  EXPECT_EQ(serverChain().publicKey(), leafKey);
  EXPECT_NE(ns::ServerTrust::publicKeyOfCertificate(certificates().intermediate().der), leafKey);
  EXPECT_NE(ns::ServerTrust::publicKeyOfCertificate(certificates().issueLeaf({"localhost"}, {}).der),
            leafKey);
}

TEST_F(ServerTrustTest, UnreadableCertificatesAreNeverTrusted) {
  ns::Data garbage = certificates().leaf().der;
  garbage.resize(garbage.size() / 2);
  ns::ServerTrust trust({garbage});
  trust.setAnchorCertificates({garbage});

  EXPECT_FALSE(trust.evaluate());
  EXPECT_FALSE(trust.publicKey().has_value());
  EXPECT_FALSE(ns::ServerTrust({}).evaluate());
}

TEST_F(URLConnectionTLSTest, AServerChainingToATrustedAnchorIsAcceptedByDefault) {
  ns::ServerTrust::setAdditionalAnchorsForTesting({certificates().root().der});

  for (const std::string host : {"localhost", "127.0.0.1"}) {
    const auto delegate = load(requestFor(server_.url("/secret", host)));
    EXPECT_THAT(delegate->events, ElementsAre("trust " + host, "response 200", "data", "finish"));
    EXPECT_EQ(delegate->body, "secret");
    ASSERT_EQ(delegate->presentedChains.size(), 1u);
    EXPECT_THAT(delegate->presentedChains[0],
                ElementsAre(certificates().leaf().der, certificates().intermediate().der));
  }
}

TEST_F(URLConnectionTLSTest, AnUntrustedServerFailsTheHandshakeBeforeAnyRequest) {
  expectURLError(*load(requestFor(url_)), ns::kURLErrorServerCertificateUntrusted, url_);
  EXPECT_EQ(server_.requestCount(), 0u);
}

TEST_F(URLConnectionTLSTest, ThePolicyDecidesWhateverTheAnchors) {
  ns::ServerTrust::setAdditionalAnchorsForTesting({certificates().root().der});
  const testsupport::TestCertificate selfSignedLeaf = certificates().selfSignedLeaf();
  LoopbackHTTPServer selfSigned(testsupport::TLSIdentity{selfSignedLeaf.pem, selfSignedLeaf.privateKeyPEM});
  selfSigned.route("/secret", TestResponse::text(200, "self"));

  const auto refusing = load(requestFor(url_), deciding(TrustDecision::kRefuse));
  const auto accepting =
      load(requestFor(selfSigned.url("/secret", "localhost")), deciding(TrustDecision::kAccept));

  expectURLError(*refusing, ns::kURLErrorServerCertificateUntrusted, url_);
  EXPECT_EQ(server_.requestCount(), 0u);
  EXPECT_TRUE(accepting->finished);
  EXPECT_EQ(accepting->body, "self");
}

TEST_F(URLConnectionTLSTest, AReusedConnectionIsJudgedAgainForEachLoad) {
  const auto accepting = load(requestFor(url_), deciding(TrustDecision::kAccept));
  const auto refusing = load(requestFor(url_), deciding(TrustDecision::kRefuse));

  EXPECT_TRUE(accepting->finished);
  expectURLError(*refusing, ns::kURLErrorServerCertificateUntrusted, url_);
  ASSERT_EQ(refusing->presentedChains.size(), 1u);
  EXPECT_EQ(refusing->presentedChains[0].front(), certificates().leaf().der);
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(URLConnectionTLSTest, AServerThatSpeaksNoTLSFailsTheSecureConnection) {
  LoopbackHTTPServer plain;
  std::string url = plain.url("/secret");
  url.replace(0, 4, "https");

  const auto delegate = load(requestFor(url));

  expectURLError(*delegate, ns::kURLErrorSecureConnectionFailed, url);
  EXPECT_TRUE(delegate->presentedChains.empty());
}

TEST_F(URLConnectionTLSTest, ACertificateForAnotherNameIsRefusedByDefault) {
  ns::ServerTrust::setAdditionalAnchorsForTesting({certificates().root().der});
  LoopbackHTTPServer misnamed(certificates().identityFor(certificates().issueLeaf({"elsewhere.test"}, {})));
  misnamed.route("/secret", TestResponse::text(200, "misnamed"));

  const std::string url = misnamed.url("/secret", "localhost");

  expectURLError(*load(requestFor(url)), ns::kURLErrorServerCertificateUntrusted, url);
}

}  // namespace
