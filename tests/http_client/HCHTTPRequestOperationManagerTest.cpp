// The road every API call takes: a manager on a base URL, headers on its request serializer, a form POST to a
// loopback server, and exactly one of success or failure on the main queue with the parsed JSON reply.

#include <gtest/gtest.h>

#include "http_client/HCHTTPRequestOperationManager.h"
#include "http_client/HCJSONResponseSerializer.h"
#include "http_client/HTTPClientOutcome.h"
#include "platform/net/URLError.h"
#include "support/LoopbackHTTPServer.h"

namespace {

using httpclienttest::Outcome;
using testsupport::LoopbackHTTPServer;
using testsupport::TestResponse;

TestResponse json(int status, std::string body, std::string contentType = "application/json; charset=utf-8") {
  return TestResponse::text(status, std::move(body), std::move(contentType));
}

class HCHTTPRequestOperationManagerTest : public testing::Test {
 protected:
  std::shared_ptr<HCHTTPRequestOperationManager> managerOnServer(const std::string& path = "") {
    return std::make_shared<HCHTTPRequestOperationManager>(ns::URL::fromString(server_.url(path)));
  }

  LoopbackHTTPServer server_;
};

TEST_F(HCHTTPRequestOperationManagerTest, AFormPostWithCommonHeadersSucceedsOnceOnTheMainQueue) {
  server_.route("/app/latest_ver",
                json(200, R"({"code":0,"obj":{"status":2,"downloadPath":"http://x/app"}})"));
  const auto manager = managerOnServer();
  manager->requestSerializer()->setValue("000016", "channel");
  manager->requestSerializer()->setValue("1.0", "protocol_version");
  Outcome outcome;

  const auto operation = manager->POST("/app/latest_ver", ns::Dictionary{{"app_id", "83"}, {"sid", "a b&c"}},
                                       outcome.success(), outcome.failure());
  ASSERT_TRUE(operation);
  ASSERT_TRUE(outcome.waitForEnd());

  EXPECT_TRUE(outcome.succeededOnce());
  EXPECT_EQ(outcome.operation, operation);
  ASSERT_TRUE(outcome.responseObject && outcome.responseObject->isDictionary());
  EXPECT_EQ(outcome.responseObject->find("obj")->find("status")->asInteger(), 2);
  const testsupport::RecordedRequest request = server_.requests().at(0);
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.body, "app_id=83&sid=a%20b%26c");
  EXPECT_EQ(request.header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(request.header("channel"), "000016");
  EXPECT_EQ(request.header("protocol_version"), "1.0");
  EXPECT_TRUE(request.header("User-Agent"));
  EXPECT_TRUE(request.header("Accept-Language"));
}

TEST_F(HCHTTPRequestOperationManagerTest, RelativePathsResolveBelowTheBaseURLsPath) {
  server_.route("/api/x", json(200, R"({"at":"api"})"));
  server_.route("/x", json(200, R"({"at":"root"})"));
  const auto manager = managerOnServer("/api");
  EXPECT_EQ(manager->baseURL()->absoluteString(), server_.url("/api/"));
  EXPECT_EQ(managerOnServer()->baseURL()->absoluteString(), server_.url(""));

  Outcome below;
  Outcome rooted;
  manager->GET("x", std::nullopt, below.success(), below.failure());
  manager->GET("/x", std::nullopt, rooted.success(), rooted.failure());
  ASSERT_TRUE(below.waitForEnd() && rooted.waitForEnd());
  EXPECT_EQ(below.responseObject->find("at")->asString(), "api");
  EXPECT_EQ(rooted.responseObject->find("at")->asString(), "root");
}

TEST_F(HCHTTPRequestOperationManagerTest, AManagerWithoutBaseURLPostsToAbsoluteURLs) {
  server_.route("/pravik/vestra/buy", json(200, R"({"code":0})"));
  Outcome outcome;
  HCHTTPRequestOperationManager::manager()->POST(server_.url("/pravik/vestra/buy"), ns::Dictionary{{"a", 1}},
                                                 outcome.success(), outcome.failure());
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_TRUE(outcome.succeededOnce());
}

TEST_F(HCHTTPRequestOperationManagerTest, ARefusedStatusCodeFailsWithTheStatusError) {
  server_.route("/broken", json(500, R"({"code":1})"));
  Outcome outcome;
  managerOnServer()->POST("/broken", ns::Dictionary(), outcome.success(), outcome.failure());
  ASSERT_TRUE(outcome.waitForEnd());

  EXPECT_TRUE(outcome.failedOnce());
  EXPECT_EQ(outcome.error->domain(), kHCURLResponseSerializationErrorDomain);
  EXPECT_EQ(outcome.error->code(), -1011);
}

TEST_F(HCHTTPRequestOperationManagerTest, ATransportFailureFailsWithoutParsing) {
  std::string closedURL;
  {
    LoopbackHTTPServer gone;
    closedURL = gone.url("/nobody");
  }
  Outcome outcome;
  HCHTTPRequestOperationManager::manager()->POST(closedURL, ns::Dictionary(), outcome.success(),
                                                 outcome.failure());
  ASSERT_TRUE(outcome.waitForEnd());

  EXPECT_TRUE(outcome.failedOnce());
  EXPECT_EQ(outcome.error->domain(), ns::kURLErrorDomain);
  EXPECT_EQ(outcome.error->code(), ns::kURLErrorCannotConnectToHost);
  EXPECT_FALSE(outcome.operation->responseSerializationError());
}

TEST_F(HCHTTPRequestOperationManagerTest, ARequestTheSerializerRefusesIsNeverQueued) {
  const auto manager = managerOnServer();
  manager->requestSerializer()->setQueryStringSerializationWithBlock(
      [](const ns::URLRequest&, const ns::Dictionary&) -> ns::Result<std::string> {
        return ns::Error("test", 3);
      });
  Outcome outcome;

  EXPECT_FALSE(manager->POST("/x", ns::Dictionary{{"a", 1}}, outcome.success(), outcome.failure()));
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_TRUE(outcome.failedOnce());
  EXPECT_FALSE(outcome.operation);
  EXPECT_EQ(outcome.error->code(), 3);
  EXPECT_EQ(manager->operationQueue().operationCount(), 0u);
  EXPECT_EQ(server_.requestCount(), 0u);
}

TEST_F(HCHTTPRequestOperationManagerTest, ASuccessfulReplyWithoutABodyIsAFailure) {
  server_.route("/empty", json(200, ""));
  server_.route("/blank", json(200, " "));
  for (const char* path : {"/empty", "/blank"}) {
    Outcome outcome;
    managerOnServer()->POST(path, ns::Dictionary(), outcome.success(), outcome.failure());
    ASSERT_TRUE(outcome.waitForEnd());
    EXPECT_TRUE(outcome.failedOnce()) << path;
  }
}

TEST_F(HCHTTPRequestOperationManagerTest, RepliesInEachJSONContentTypeParseAndOthersFail) {
  const auto manager = managerOnServer();
  for (const std::string type :
       {"application/json", "text/json", "text/javascript", "text/html", "text/plain"}) {
    server_.route("/typed", json(200, R"({"ok":true})", type));
    Outcome outcome;
    manager->POST("/typed", std::nullopt, outcome.success(), outcome.failure());
    ASSERT_TRUE(outcome.waitForEnd());
    EXPECT_TRUE(outcome.succeededOnce()) << type;
  }
  server_.route("/typed", json(200, R"({"ok":true})", "application/xml"));
  Outcome refused;
  manager->POST("/typed", std::nullopt, refused.success(), refused.failure());
  ASSERT_TRUE(refused.waitForEnd());
  EXPECT_TRUE(refused.failedOnce());
  EXPECT_EQ(refused.error->code(), -1016);
}

TEST_F(HCHTTPRequestOperationManagerTest, ChunkedAndSlowBodiesArriveWhole) {
  std::string body = R"({"items":[)";
  for (int index = 0; index < 200; ++index) {
    body += (index > 0 ? "," : "") + std::to_string(index);
  }
  body += "]}";
  TestResponse chunked = json(200, body);
  chunked.framing = TestResponse::Framing::kChunked;
  chunked.pieceSize = 64;
  TestResponse slow = json(200, body);
  slow.pieceSize = 300;
  slow.pauseBetweenPieces = std::chrono::milliseconds(20);
  server_.route("/chunked", chunked);
  server_.route("/slow", slow);

  for (const char* path : {"/chunked", "/slow"}) {
    Outcome outcome;
    managerOnServer()->POST(path, std::nullopt, outcome.success(), outcome.failure());
    ASSERT_TRUE(outcome.waitForEnd());
    ASSERT_TRUE(outcome.succeededOnce()) << path;
    EXPECT_EQ(outcome.responseObject->find("items")->count(), 200u) << path;
  }
}

TEST_F(HCHTTPRequestOperationManagerTest, RedirectsAreFollowedUnlessTheOperationRefusesThem) {
  server_.route("/old", TestResponse::redirect(302, server_.url("/new")));
  server_.route("/new", json(200, R"({"moved":true})"));
  const auto manager = managerOnServer();

  Outcome followed;
  manager->GET("/old", std::nullopt, followed.success(), followed.failure());
  ASSERT_TRUE(followed.waitForEnd());
  EXPECT_TRUE(followed.succeededOnce());
  EXPECT_EQ(followed.operation->response()->url().absoluteString(), server_.url("/new"));

  Outcome refused;
  const auto operation = manager->HTTPRequestOperationWithHTTPMethod("GET", "/old", std::nullopt,
                                                                     refused.success(), refused.failure());
  operation->setRedirectResponseBlock(
      [](ns::URLConnection&, const ns::URLRequest&, const ns::HTTPURLResponse&) { return std::nullopt; });
  manager->operationQueue().addOperation(operation);
  ASSERT_TRUE(refused.waitForEnd());
  EXPECT_TRUE(refused.failedOnce());
  EXPECT_EQ(operation->response()->statusCode(), 302);
  ASSERT_TRUE(refused.error->underlyingError()) << "the body is no JSON; the status error lies beneath";
  EXPECT_EQ(refused.error->underlyingError()->code(), -1011);
}

TEST_F(HCHTTPRequestOperationManagerTest, RepliesInGBKAndLatin1ReadInTheirCharacterSets) {
  server_.route("/gbk", json(200, "{\"name\":\"\xD6\xD0\xCE\xC4\"}", "text/html; charset=GBK"));
  server_.route("/latin1", json(200, "{\"name\":\"caf\xE9\"}", "application/json; charset=ISO-8859-1"));
  Outcome chinese;
  Outcome latin;
  const auto manager = managerOnServer();
  manager->POST("/gbk", std::nullopt, chinese.success(), chinese.failure());
  manager->POST("/latin1", std::nullopt, latin.success(), latin.failure());
  ASSERT_TRUE(chinese.waitForEnd() && latin.waitForEnd());

  EXPECT_EQ(chinese.responseObject->find("name")->asString(), "中文");
  EXPECT_EQ(latin.responseObject->find("name")->asString(), "café");
}

TEST_F(HCHTTPRequestOperationManagerTest, NullValuesAreDroppedWhenTheSerializerSaysSo) {
  server_.route("/nulls", json(200, R"({"code":0,"obj":{"name":null,"list":[null]}})"));
  const auto manager = managerOnServer();
  const auto serializer = HCJSONResponseSerializer::serializer();
  serializer->setRemovesKeysWithNullValues(true);
  manager->setResponseSerializer(serializer);
  Outcome outcome;
  manager->POST("/nulls", std::nullopt, outcome.success(), outcome.failure());
  ASSERT_TRUE(outcome.waitForEnd());

  EXPECT_EQ(*outcome.responseObject,
            ns::Value(ns::Dictionary{{"code", 0}, {"obj", ns::Dictionary{{"list", ns::Array{nullptr}}}}}));
}

TEST_F(HCHTTPRequestOperationManagerTest, HeadSucceedsWithTheOperationAlone) {
  server_.route("/exists", TestResponse::text(200, "", "text/plain"));
  const auto manager = managerOnServer();
  manager->setResponseSerializer(HCHTTPResponseSerializer::serializer());
  std::shared_ptr<HCHTTPRequestOperation> headed;
  Outcome outcome;
  manager->HEAD(
      "/exists", std::nullopt,
      [&](const std::shared_ptr<HCHTTPRequestOperation>& operation) { headed = operation; },
      outcome.failure());
  ASSERT_TRUE(httpclienttest::runMainLoopUntil([&] { return headed != nullptr; }));
  EXPECT_EQ(headed->response()->statusCode(), 200);
  EXPECT_EQ(server_.requests().at(0).method, "HEAD");
}

TEST_F(HCHTTPRequestOperationManagerTest, BlocksRunOnTheManagersCompletionQueue) {
  server_.route("/q", json(200, "[1]"));
  const auto manager = managerOnServer();
  manager->setCompletionQueue(ns::DispatchQueue::createSerial("completion"));
  std::atomic<bool> ranOffMain{false};
  std::atomic<bool> done{false};
  manager->POST(
      "/q", std::nullopt,
      [&](const std::shared_ptr<HCHTTPRequestOperation>&, const std::optional<ns::Value>&) {
        ranOffMain = !ns::RunLoop::isMainThread();
        done = true;
        ns::RunLoop::main().post([] {});
      },
      nullptr);
  ASSERT_TRUE(httpclienttest::runMainLoopUntil([&] { return done.load(); }));
  EXPECT_TRUE(ranOffMain);
}

TEST_F(HCHTTPRequestOperationManagerTest, ArchivesAndCopiesKeepTheBaseURLAndSerializers) {
  const auto manager = managerOnServer("/api");
  manager->requestSerializer()->setValue("wifi", "network");

  ns::Dictionary archive;
  manager->encodeWithCoder(archive);
  const HCHTTPRequestOperationManager decoded(archive);
  EXPECT_EQ(decoded.baseURL(), manager->baseURL());
  EXPECT_EQ(decoded.requestSerializer()->valueForHTTPHeaderField("network"), "wifi");
  EXPECT_TRUE(std::dynamic_pointer_cast<HCJSONResponseSerializer>(decoded.responseSerializer()));

  const auto copy = manager->copy();
  EXPECT_EQ(copy->baseURL(), manager->baseURL());
  EXPECT_NE(copy->requestSerializer(), manager->requestSerializer());
  EXPECT_EQ(copy->requestSerializer()->valueForHTTPHeaderField("network"), "wifi");
  EXPECT_TRUE(std::dynamic_pointer_cast<HCJSONResponseSerializer>(copy->responseSerializer()));
}

}  // namespace
