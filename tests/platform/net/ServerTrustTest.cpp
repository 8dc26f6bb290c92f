// Trust evaluation of certificate chains made by the test: anchors, policies, and public keys.

#include <gtest/gtest.h>

#include "platform/net/ServerTrust.h"
#include "support/TestCertificates.h"

namespace {

using testsupport::TestCertificates;

const TestCertificates& certificates() {
  return TestCertificates::shared();
}

ns::ServerTrust serverChain() {
  return ns::ServerTrust({certificates().leaf().der, certificates().intermediate().der});
}

class ServerTrustTest : public testing::Test {
 protected:
  ~ServerTrustTest() override { ns::ServerTrust::setAdditionalAnchorsForTesting({}); }
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

}  // namespace
