// Authentication on the connection road against loopback servers: a Basic challenge answered by the
// manager's credential, by the credential storage or not at all, a refused credential, a challenged
// multipart POST sent again with the same bytes, the challenge block over server trust; and an operation's
// background task ending with the application.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "http_client/HCHTTPRequestOperationManager.h"
#include "http_client/http_client_test_util.h"
#include "platform/foundation/crypto/Base64.h"
#include "platform/net/ServerTrust.h"
#include "platform/net/URLCredentialStorage.h"
#include "platform/net/URLError.h"
#include "platform/uikit/app/Application.h"
#include "support/test_certificates.h"

namespace http_client {
namespace {

using httpclienttest::Outcome;
using testsupport::TestResponse;

const std::string kAccepted = "Basic " + ns::base64Encode(ns::dataFromString("learner:quill"));

class HCConnectionChallengeTest : public testing::Test {
 protected:
  HCConnectionChallengeTest() {
    // Answers 401 naming the realm "files" unless the request carries the accepted credential.
    server_.route("/private", [](const testsupport::RecordedRequest& request) {
      if (request.header("Authorization") == kAccepted) {
        return TestResponse::text(200, R"({"size":)" + std::to_string(request.body.size()) + "}",
                                  "application/json");
      }
      TestResponse refused = TestResponse::text(401, "{}", "application/json");
      refused.headers.emplace_back("WWW-Authenticate", "Basic realm=\"files\"");
      return refused;
    });
  }
  ~HCConnectionChallengeTest() override {
    ns::URLCredentialStorage::sharedCredentialStorage().resetForTesting();
    ns::ServerTrust::setAdditionalAnchorsForTesting({});
  }

  std::shared_ptr<HCHTTPRequestOperationManager> manager() {
    return std::make_shared<HCHTTPRequestOperationManager>(ns::URL::fromString(server_.url("")));
  }
  Outcome getPrivate(HCHTTPRequestOperationManager& manager) {
    Outcome outcome;
    manager.GET("/private", std::nullopt, outcome.success(), outcome.failure());
    EXPECT_TRUE(outcome.waitForEnd());
    return outcome;
  }
  std::vector<std::optional<std::string>> authorizationsSent() const {
    std::vector<std::optional<std::string>> sent;
    for (const testsupport::RecordedRequest& request : server_.requests()) {
      sent.push_back(request.header("Authorization"));
    }
    return sent;
  }

  testsupport::LoopbackHTTPServer server_;
};

TEST_F(HCConnectionChallengeTest, ABasicChallengeIsAnsweredByTheCredentialElseByTheStorage) {
  const auto withCredential = manager();
  withCredential->setCredential(ns::URLCredential::withUser("learner", "quill"));
  EXPECT_TRUE(getPrivate(*withCredential).succeededOnce());
  EXPECT_EQ(authorizationsSent(), (std::vector<std::optional<std::string>>{std::nullopt, kAccepted}));

  ns::URLProtectionSpace space{
      "127.0.0.1", server_.port(), "http", "files", ns::kURLAuthenticationMethodHTTPBasic, nullptr};
  ns::URLCredentialStorage::sharedCredentialStorage().setDefaultCredential(
      ns::URLCredential::withUser("learner", "quill"), space);
  const auto withStorage = manager();
  EXPECT_TRUE(getPrivate(*withStorage).succeededOnce());
  EXPECT_EQ(server_.requests().back().header("Authorization"), kAccepted);

  const auto withoutStorage = manager();
  withoutStorage->setShouldUseCredentialStorage(false);
  const Outcome unanswered = getPrivate(*withoutStorage);
  ASSERT_TRUE(unanswered.failedOnce());
  EXPECT_EQ(unanswered.error->code(), kHCResponseErrorBadServerResponse);
  EXPECT_EQ(unanswered.operation->response()->statusCode(), 401);
  EXPECT_FALSE(server_.requests().back().header("Authorization"));
}

TEST_F(HCConnectionChallengeTest, ARefusedCredentialIsSentOnceAndTheRefusalStands) {
  const auto wrong = manager();
  wrong->setCredential(ns::URLCredential::withUser("learner", "wrong"));
  const Outcome refused = getPrivate(*wrong);
  ASSERT_TRUE(refused.failedOnce());
  EXPECT_EQ(refused.operation->response()->statusCode(), 401);
  ASSERT_EQ(server_.requestCount(), 2u);
  EXPECT_TRUE(server_.requests()[1].header("Authorization"));
}

TEST_F(HCConnectionChallengeTest, AChallengedMultipartPostIsSentAgainWithTheSameBytes) {
  const auto uploader = manager();
  uploader->setCredential(ns::URLCredential::withUser("learner", "quill"));
  Outcome outcome;
  uploader->POST(
      "/private", ns::Dictionary{{"lesson", "7"}},
      [](HCMultipartFormData& form) { form.appendPartWithFormData(ns::dataFromString("notes"), "notes"); },
      outcome.success(), outcome.failure());
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_TRUE(outcome.succeededOnce());
  const std::vector<testsupport::RecordedRequest> sent = server_.requests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_NE(sent[0].body.find("name=\"notes\"\r\n\r\nnotes\r\n"), std::string::npos);
  EXPECT_EQ(sent[1].body, sent[0].body);
}

TEST_F(HCConnectionChallengeTest, TheChallengeBlockAloneAnswersServerTrustAndBasicChallenges) {
  testsupport::LoopbackHTTPServer tlsServer(testsupport::TestCertificates::shared().identity());
  tlsServer.route("/lesson", TestResponse::text(200, "{}", "application/json"));
  const auto untrusted = manager();
  Outcome refused;
  untrusted->GET(tlsServer.url("/lesson", "localhost"), std::nullopt, refused.success(), refused.failure());
  ASSERT_TRUE(refused.waitForEnd());
  EXPECT_TRUE(refused.failedOnce());

  std::vector<std::string> methods;
  const auto trustingEverything = [&](HCHTTPRequestOperation& operation) {
    operation.setWillSendRequestForAuthenticationChallengeBlock(
        [&](ns::URLConnection&, const ns::URLAuthenticationChallenge& challenge) {
          methods.emplace_back(challenge.protectionSpace.authenticationMethod);
          if (challenge.protectionSpace.serverTrust) {
            return ns::URLAuthenticationChallengeAnswer{
                ns::URLSessionAuthChallengeDisposition::kUseCredential,
                ns::URLCredential::forTrust(challenge.protectionSpace.serverTrust)};
          }
          return ns::URLAuthenticationChallengeAnswer{
              ns::URLSessionAuthChallengeDisposition::kCancelAuthenticationChallenge, std::nullopt};
        });
  };
  Outcome trusted;
  const auto trustedOperation = untrusted->HTTPRequestOperationWithRequest(
      httpclienttest::requestTo(tlsServer.url("/lesson", "localhost")), trusted.success(), trusted.failure());
  trustingEverything(*trustedOperation);
  untrusted->operationQueue().addOperation(trustedOperation);
  ASSERT_TRUE(trusted.waitForEnd());
  EXPECT_TRUE(trusted.succeededOnce());

  const auto withCredential = manager();
  withCredential->setCredential(ns::URLCredential::withUser("learner", "quill"));
  Outcome cancelled;
  const auto cancelledOperation = withCredential->HTTPRequestOperationWithRequest(
      httpclienttest::requestTo(server_.url("/private")), cancelled.success(), cancelled.failure());
  trustingEverything(*cancelledOperation);
  withCredential->operationQueue().addOperation(cancelledOperation);
  ASSERT_TRUE(cancelled.waitForEnd());
  ASSERT_TRUE(cancelled.failedOnce());
  EXPECT_EQ(cancelled.error->code(), ns::kURLErrorCancelled);
  EXPECT_EQ(methods, (std::vector<std::string>{std::string(ns::kURLAuthenticationMethodServerTrust),
                                               std::string(ns::kURLAuthenticationMethodHTTPBasic)}));
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(HCConnectionChallengeTest, ABackgroundTaskExpiresWithTheApplicationAndCancelsTheOperation) {
  server_.route("/silent", TestResponse::noAnswer());
  uikit::Application& application = uikit::Application::sharedApplication();
  Outcome outcome;
  auto operation = manager()->HTTPRequestOperationWithRequest(
      httpclienttest::requestTo(server_.url("/silent")), outcome.success(), outcome.failure());
  int expirations = 0;
  operation->setShouldExecuteAsBackgroundTaskWithExpirationHandler([&] { ++expirations; });
  const uikit::BackgroundTaskIdentifier held = operation->backgroundTaskIdentifier();
  EXPECT_NE(held, uikit::kBackgroundTaskInvalid);
  operation->setShouldExecuteAsBackgroundTaskWithExpirationHandler([&] { expirations += 10; });
  EXPECT_EQ(operation->backgroundTaskIdentifier(), held);
  EXPECT_EQ(application.backgroundTaskCount(), 1u);

  operation->start();
  application.terminate();
  EXPECT_EQ(expirations, 1);
  EXPECT_EQ(operation->backgroundTaskIdentifier(), uikit::kBackgroundTaskInvalid);
  EXPECT_EQ(application.backgroundTaskCount(), 0u);
  ASSERT_TRUE(outcome.waitForEnd());
  ASSERT_TRUE(outcome.failedOnce());
  EXPECT_EQ(outcome.error->code(), ns::kURLErrorCancelled);

  auto released =
      std::make_shared<HCURLConnectionOperation>(httpclienttest::requestTo(server_.url("/silent")));
  released->setShouldExecuteAsBackgroundTaskWithExpirationHandler(nullptr);
  EXPECT_EQ(application.backgroundTaskCount(), 1u);
  released.reset();
  EXPECT_EQ(application.backgroundTaskCount(), 0u);
}

}  // namespace
}  // namespace http_client
