#include <gtest/gtest.h>

#include "sample_backend/statistics/StatisticsServer.h"
#include "support/raw_client_test_util.h"

namespace {

using ::server_testing::RawClient;

TEST(StatisticsServerTest, TheStatisticsServerSurvivesSilentGarbageSendingAndVanishingClients) {
  const std::unique_ptr<StatisticsServer> server = StatisticsServer::start().value();
  server->setIdleTimeoutForTesting(std::chrono::milliseconds(200));
  RawClient silent(server->port());
  RawClient garbage(server->port());
  garbage.send("\x16\x03\x01 not a message|ed#");
  garbage.send(std::string(1024 * 1024, 'x'));  // never ends
  EXPECT_TRUE(garbage.closedByServer());
  RawClient vanishing(server->port());
  vanishing.send("cltlgn|o");
  vanishing.vanish();
  EXPECT_TRUE(silent.closedByServer());

  RawClient learner(server->port());
  learner.send("cltlgn|ok|ed#");
  EXPECT_TRUE(learner.receive().starts_with("lgnres|")) << "no login reply";
}

}  // namespace
