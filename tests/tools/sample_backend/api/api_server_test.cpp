#include <gtest/gtest.h>

#include "api_test_util.h"
#include "sample_backend/api/ApiServer.h"
#include "support/raw_client_test_util.h"

namespace sample_backend::api {
namespace {

using testutil::postOverOneConnection;
using testutil::signedRequest;

std::unique_ptr<ApiServer> startServer(std::uint16_t port = 0) {
  ns::Result<std::unique_ptr<ApiServer>> server =
      ApiServer::start(std::make_shared<ApiService>(testutil::defaultCatalogue()), port);
  return server.ok() ? std::move(server).value() : nullptr;
}

TEST(ApiServerTest, AnswersSeveralRequestsOverOneConnectionAndEndsACutOneWithoutAReply) {
  std::unique_ptr<ApiServer> server = startServer();
  ASSERT_NE(server, nullptr);
  EXPECT_EQ(server->baseURL(), "http://127.0.0.1:" + std::to_string(server->port()));
  server->service().controls().delayNextReply("/common/get/time", std::chrono::milliseconds(20));

  const std::vector<std::string> replies = postOverOneConnection(
      server->port(), {signedRequest("/common/get/time"),
                       signedRequest("/common/baselogin",
                                     {{"username", "learner"}, {"password", testutil::kLearnerPassword}})});
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(nlohmann::json::parse(replies[0])["code"], 0);
  EXPECT_EQ(nlohmann::json::parse(replies[1])["userId"], "20160001");
  const std::vector<RecordedApiRequest> recorded = server->service().recordedRequests();
  ASSERT_EQ(recorded.size(), 2u);
  EXPECT_EQ(recorded[0].request.header("App_Name"), "澜屿考研");
  EXPECT_EQ(recorded[1].request.parameter("password"), testutil::kLearnerPassword);

  server->service().controls().cutNextConnection("/app/latest_ver");
  EXPECT_TRUE(postOverOneConnection(server->port(), {signedRequest("/app/latest_ver")}).empty());
  EXPECT_EQ(postOverOneConnection(server->port(), {signedRequest("/app/latest_ver")}).size(), 1u);
}

TEST(ApiServerTest, ABusyPortIsReportedAndAStoppedServerRefusesConnections) {
  std::unique_ptr<ApiServer> server = startServer();
  ASSERT_NE(server, nullptr);
  const std::uint16_t port = server->port();
  EXPECT_EQ(startServer(port), nullptr);
  server.reset();
  EXPECT_TRUE(postOverOneConnection(port, {signedRequest("/app/latest_ver")}).empty());
}

TEST(ApiServerTest, TheApiAndMediaServerSurvivesSilentGarbageSendingAndVanishingClients) {
  std::unique_ptr<ApiServer> server = startServer();
  ASSERT_NE(server, nullptr);
  server->setIdleTimeoutForTesting(std::chrono::milliseconds(200));
  server_testing::RawClient silent(server->port());
  server_testing::RawClient garbage(server->port());
  garbage.send("\x16\x03\x01\x02\x00\x01\xfc not a request\r\n\r\n");
  EXPECT_TRUE(garbage.closedByServer());
  server_testing::RawClient vanishing(server->port());
  vanishing.send("POST /common/get/time HTTP/1.1\r\nContent-Length: 100\r\n\r\nsign=");
  vanishing.vanish();
  EXPECT_TRUE(silent.closedByServer());
  EXPECT_EQ(postOverOneConnection(server->port(), {signedRequest("/common/get/time")}).size(), 1u);
}

}  // namespace
}  // namespace sample_backend::api
