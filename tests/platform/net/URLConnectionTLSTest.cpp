// HTTPS loads: the server's chain goes to the delegate during the handshake, and the delegate's decision
// stands, for new and for reused connections alike.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/net/ServerTrust.h"
#include "platform/net/URLConnection.h"
#include "platform/net/URLConnectionTestUtil.h"
#include "platform/net/URLError.h"
#include "support/LoopbackHTTPServer.h"
#include "support/TestCertificates.h"

namespace {

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

class URLConnectionTLSTest : public testing::Test {
 protected:
  URLConnectionTLSTest() : server_(certificates().identity()) {
    server_.route("/secret", TestResponse::text(200, "secret"));
  }
  ~URLConnectionTLSTest() override { ns::ServerTrust::setAdditionalAnchorsForTesting({}); }

  std::shared_ptr<RecordingDelegate> loadWith(const std::string& url,
                                              std::shared_ptr<RecordingDelegate> delegate) {
    const auto connection = nettest::start(requestFor(url), delegate);
    EXPECT_TRUE(nettest::runUntilEnded(*delegate));
    return delegate;
  }

  LoopbackHTTPServer server_;
};

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
  const std::string url = server_.url("/secret", "localhost");
  const auto delegate = load(requestFor(url));

  ASSERT_TRUE(delegate->error.has_value());
  EXPECT_EQ(delegate->error->code(), ns::kURLErrorServerCertificateUntrusted);
  EXPECT_EQ(delegate->error->userInfo().at(std::string(ns::kURLErrorFailingURLErrorKey)).asString(), url);
  EXPECT_EQ(server_.requestCount(), 0u);
}

TEST_F(URLConnectionTLSTest, ThePolicyDecidesWhateverTheAnchors) {
  ns::ServerTrust::setAdditionalAnchorsForTesting({certificates().root().der});
  auto refusing = std::make_shared<RecordingDelegate>();
  refusing->trustPolicy = [](ns::ServerTrust&, const std::string&) { return TrustDecision::kRefuse; };
  const testsupport::TestCertificate selfSignedLeaf = certificates().selfSignedLeaf();
  LoopbackHTTPServer selfSigned(testsupport::TLSIdentity{selfSignedLeaf.pem, selfSignedLeaf.privateKeyPEM});
  selfSigned.route("/secret", TestResponse::text(200, "self"));
  auto accepting = std::make_shared<RecordingDelegate>();
  accepting->trustPolicy = [](ns::ServerTrust&, const std::string&) { return TrustDecision::kAccept; };

  loadWith(server_.url("/secret", "localhost"), refusing);
  loadWith(selfSigned.url("/secret", "localhost"), accepting);

  ASSERT_TRUE(refusing->error.has_value());
  EXPECT_EQ(refusing->error->code(), ns::kURLErrorServerCertificateUntrusted);
  EXPECT_EQ(server_.requestCount(), 0u);
  EXPECT_TRUE(accepting->finished);
  EXPECT_EQ(accepting->body, "self");
}

TEST_F(URLConnectionTLSTest, AReusedConnectionIsJudgedAgainForEachLoad) {
  auto accepting = std::make_shared<RecordingDelegate>();
  accepting->trustPolicy = [](ns::ServerTrust&, const std::string&) { return TrustDecision::kAccept; };
  auto refusing = std::make_shared<RecordingDelegate>();
  refusing->trustPolicy = [](ns::ServerTrust&, const std::string&) { return TrustDecision::kRefuse; };

  loadWith(server_.url("/secret", "localhost"), accepting);
  loadWith(server_.url("/secret", "localhost"), refusing);

  EXPECT_TRUE(accepting->finished);
  ASSERT_TRUE(refusing->error.has_value());
  EXPECT_EQ(refusing->error->code(), ns::kURLErrorServerCertificateUntrusted);
  ASSERT_EQ(refusing->presentedChains.size(), 1u);
  EXPECT_EQ(refusing->presentedChains[0].front(), certificates().leaf().der);
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(URLConnectionTLSTest, AServerThatSpeaksNoTLSFailsTheSecureConnection) {
  LoopbackHTTPServer plain;
  std::string url = plain.url("/secret");
  url.replace(0, 4, "https");

  const auto delegate = load(requestFor(url));

  ASSERT_TRUE(delegate->error.has_value());
  EXPECT_EQ(delegate->error->code(), ns::kURLErrorSecureConnectionFailed);
  EXPECT_TRUE(delegate->presentedChains.empty());
}

TEST_F(URLConnectionTLSTest, ACertificateForAnotherNameIsRefusedByDefault) {
  ns::ServerTrust::setAdditionalAnchorsForTesting({certificates().root().der});
  LoopbackHTTPServer misnamed(certificates().identityFor(certificates().issueLeaf({"elsewhere.test"}, {})));
  misnamed.route("/secret", TestResponse::text(200, "misnamed"));

  const auto delegate = load(requestFor(misnamed.url("/secret", "localhost")));

  ASSERT_TRUE(delegate->error.has_value());
  EXPECT_EQ(delegate->error->code(), ns::kURLErrorServerCertificateUntrusted);
}

}  // namespace
