// The manager's road to a loopback server: exactly one of success or failure, with the parsed JSON reply.

#include <gtest/gtest.h>

#include "http_client/HCHTTPRequestOperationManager.h"
#include "http_client/HCJSONResponseSerializer.h"
#include "http_client/http_client_test_util.h"
#include "platform/net/URLError.h"

namespace http_client {

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

  // POSTs to `path` on a manager of the server after routing `response` there.
  Outcome postReply(const TestResponse& response, const std::string& path = "/reply") {
    server_.route(path, response);
    Outcome outcome;
    managerOnServer()->POST(path, std::nullopt, outcome.success(), outcome.failure());
    EXPECT_TRUE(outcome.waitForEnd());
    return outcome;
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

// Each of the five JSON content types, GBK and Latin-1 text, and chunked or slow bodies parse whole.
TEST_F(HCHTTPRequestOperationManagerTest, RepliesInEveryJSONTypeCharacterSetAndFramingParseWhole) {
  ns::Array items;
  std::string list;
  for (int index = 0; index < 200; ++index) {
    items.emplace_back(index);
    list += (index > 0 ? "," : "") + std::to_string(index);
  }
  TestResponse chunked = json(200, R"({"items":[)" + list + "]}");
  chunked.framing = TestResponse::Framing::kChunked;
  chunked.pieceSize = 64;
  TestResponse slow = json(200, chunked.body);
  slow.pieceSize = 300;
  slow.pauseBetweenPieces = std::chrono::milliseconds(20);
  const ns::Dictionary ok{{"ok", 1}};
  const std::vector<std::pair<TestResponse, ns::Value>> replies{
      {json(200, R"({"ok":1})", "application/json"), ok},
      {json(200, R"({"ok":1})", "text/json"), ok},
      {json(200, R"({"ok":1})", "text/javascript"), ok},
      {json(200, R"({"ok":1})", "text/html"), ok},
      {json(200, R"({"ok":1})", "text/plain"), ok},
      {json(200, "{\"name\":\"\xD6\xD0\xCE\xC4\"}", "text/html; charset=GBK"),
       ns::Dictionary{{"name", "中文"}}},
      {json(200, "{\"name\":\"caf\xE9\"}", "application/json; charset=ISO-8859-1"),
       ns::Dictionary{{"name", "café"}}},
      {chunked, ns::Dictionary{{"items", items}}},
      {slow, ns::Dictionary{{"items", items}}}};
  for (std::size_t index = 0; index < replies.size(); ++index) {
    const Outcome outcome = postReply(replies[index].first);
    EXPECT_TRUE(outcome.succeededOnce()) << "reply " << index;
    EXPECT_EQ(outcome.responseObject, replies[index].second) << "reply " << index;
  }
}

// A refused status, a 2xx body that is not JSON and a refused content type each fail once.
TEST_F(HCHTTPRequestOperationManagerTest, RepliesTheSerializerRefusesFailOnceWithItsError) {
  const std::vector<std::pair<TestResponse, std::int64_t>> replies{
      {json(500, R"({"code":1})"), kHCResponseErrorBadServerResponse},
      {json(200, "  "), ns::kPropertyListReadCorruptError},
      {json(200, "{"), ns::kPropertyListReadCorruptError},
      {json(200, R"({"ok":1})", "application/xml"), kHCResponseErrorCannotDecodeContentData}};
  for (std::size_t index = 0; index < replies.size(); ++index) {
    const Outcome outcome = postReply(replies[index].first);
    ASSERT_TRUE(outcome.failedOnce()) << "reply " << index;
    EXPECT_EQ(outcome.error->code(), replies[index].second) << "reply " << index;
    if (replies[index].second != ns::kPropertyListReadCorruptError) {
      EXPECT_EQ(outcome.error->domain(), kHCURLResponseSerializationErrorDomain) << "reply " << index;
    }
  }
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

// With the default serializers, a reply without a body succeeds: a HEAD, and a DELETE answered 204.
TEST_F(HCHTTPRequestOperationManagerTest, HeadAndA204DeleteSucceedWithTheDefaultSerializers) {
  server_.route("/exists", TestResponse::text(200, "", "application/json"));
  TestResponse noContent;
  noContent.status = 204;
  server_.route("/lesson/7", noContent);
  const auto manager = managerOnServer();
  manager->setCompletionQueue(ns::DispatchQueue::createSerial("completion"));
  std::atomic<bool> ranOffMain{false};
  std::shared_ptr<HCHTTPRequestOperation> headed;
  std::atomic<bool> done{false};
  manager->HEAD(
      "/exists", std::nullopt,
      [&](const std::shared_ptr<HCHTTPRequestOperation>& operation) {
        ranOffMain = !ns::RunLoop::isMainThread();
        headed = operation;
        done = true;
        ns::RunLoop::main().post([] {});
      },
      [&](const std::shared_ptr<HCHTTPRequestOperation>&, const ns::Error&) {
        done = true;
        ns::RunLoop::main().post([] {});
      });
  ASSERT_TRUE(httpclienttest::runMainLoopUntil([&] { return done.load(); }));
  ASSERT_TRUE(headed);
  EXPECT_TRUE(ranOffMain);
  EXPECT_EQ(headed->response()->statusCode(), 200);
  EXPECT_EQ(server_.requests().at(0).method, "HEAD");

  Outcome deleted;
  managerOnServer()->DELETE("/lesson/7", std::nullopt, deleted.success(), deleted.failure());
  ASSERT_TRUE(deleted.waitForEnd());
  EXPECT_TRUE(deleted.succeededOnce());
  EXPECT_FALSE(deleted.responseObject);
  EXPECT_EQ(deleted.operation->response()->statusCode(), 204);
  EXPECT_EQ(server_.requests().at(1).method, "DELETE");
}

// Through the request serializer's own archive and copy, every default header survives, a set one too.
TEST_F(HCHTTPRequestOperationManagerTest, ArchivesAndCopiesKeepTheBaseURLAndSerializers) {
  const auto manager = managerOnServer("/api");
  manager->requestSerializer()->setValue("wifi", "network");
  manager->requestSerializer()->setValue("Mozilla", "User-Agent");
  ns::Dictionary archive;
  manager->encodeWithCoder(archive);
  const auto decoded = std::make_shared<HCHTTPRequestOperationManager>(archive);
  const auto copy = manager->copy();
  EXPECT_NE(copy->requestSerializer(), manager->requestSerializer());
  for (const auto& kept : {decoded, copy}) {
    EXPECT_EQ(kept->baseURL(), manager->baseURL());
    EXPECT_EQ(kept->requestSerializer()->HTTPRequestHeaders(),
              manager->requestSerializer()->HTTPRequestHeaders());
    EXPECT_TRUE(std::dynamic_pointer_cast<HCJSONResponseSerializer>(kept->responseSerializer()));
  }
}

}  // namespace

}  // namespace http_client
