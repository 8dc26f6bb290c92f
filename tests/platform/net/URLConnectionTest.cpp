// Plain HTTP loads against a loopback server: responses, bodies in every framing, request bodies and upload
// progress, the order of delegate calls, redirects (followed, changed or refused by the delegate, methods
// across redirects, and the limit), and how loads fail and the errors they carry.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/net/URLConnection.h"
#include "platform/net/URLConnectionTestUtil.h"
#include "platform/net/URLError.h"
#include "support/LoopbackHTTPServer.h"

namespace {

using nettest::expectURLError;
using nettest::load;
using nettest::RecordingDelegate;
using nettest::requestFor;
using testing::ElementsAre;
using testsupport::LoopbackHTTPServer;
using testsupport::TestResponse;

// Returns a loopback port that nothing listens on: bound once, then closed.
int closedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

class URLConnectionTest : public testing::Test {
 protected:
  URLConnectionTest() {
    TestResponse slow = TestResponse::text(200, "one two three four");
    slow.pieceSize = 4;
    slow.pauseBetweenPieces = std::chrono::milliseconds(20);
    server_.route("/slow", slow);
    server_.route("/start", TestResponse::redirect(302, "/dir/../final?from=start"));
    server_.route("/post302", TestResponse::redirect(302, "/final"));
    server_.route("/post307", TestResponse::redirect(307, "/final"));
    server_.route("/final", TestResponse::text(200, "final"));
    server_.route("/other", TestResponse::text(200, "other"));
  }

  LoopbackHTTPServer server_;
};

TEST_F(URLConnectionTest, DeliversTheResponseOnceBeforeTheBodyThenFinishes) {
  TestResponse reply = TestResponse::text(200, "hello", "Text/HTML; charset=GBK");
  reply.headers.emplace_back("X-Trace", "abc");
  server_.route("/page", reply);

  const auto delegate = load(requestFor(server_.url("/page?x=1#part")));

  EXPECT_THAT(delegate->events, ElementsAre("response 200", "data", "finish"));
  EXPECT_EQ(delegate->body, "hello");
  const ns::HTTPURLResponse& response = delegate->httpResponse();
  EXPECT_EQ(response.url().absoluteString(), server_.url("/page?x=1#part"));
  EXPECT_EQ(response.MIMEType(), "text/html");
  EXPECT_EQ(response.textEncodingName(), "GBK");
  EXPECT_EQ(response.expectedContentLength(), 5);
  EXPECT_EQ(response.allHeaderFields().at("x-trace"), "abc");
  // The fragment stays with the client.
  EXPECT_EQ(server_.requests().at(0).target, "/page?x=1");
}

TEST_F(URLConnectionTest, ErrorStatusCodesAreResponsesNotFailures) {
  for (const int status : {404, 500}) {
    server_.route("/error", TestResponse::text(status, "{\"code\":1}", "application/json"));
    const auto delegate = load(requestFor(server_.url("/error")));
    EXPECT_THAT(delegate->events, ElementsAre("response " + std::to_string(status), "data", "finish"));
    EXPECT_EQ(delegate->body, "{\"code\":1}");
  }
}

TEST_F(URLConnectionTest, ReadsChunkedAndSlowBodiesWhole) {
  const std::string body(100'000, 'x');
  TestResponse chunked = TestResponse::text(200, body);
  chunked.framing = TestResponse::Framing::kChunked;
  chunked.pieceSize = 7'000;
  server_.route("/chunked", chunked);

  const auto chunkedLoad = load(requestFor(server_.url("/chunked")));
  const auto slowLoad = load(requestFor(server_.url("/slow")));

  EXPECT_TRUE(chunkedLoad->finished);
  EXPECT_EQ(chunkedLoad->body, body);
  EXPECT_EQ(chunkedLoad->response->expectedContentLength(), ns::URLResponse::kUnknownLength);
  EXPECT_THAT(slowLoad->events, ElementsAre("response 200", "data", "finish"));
  EXPECT_EQ(slowLoad->body, "one two three four");
}

TEST_F(URLConnectionTest, SendsMethodHeadersAndBodyAsGiven) {
  server_.route("/form", TestResponse::text(200, "{}", "application/json"));
  ns::URLRequest request = requestFor(server_.url("/form"));
  request.setHTTPMethod("POST");
  request.setValue("application/x-www-form-urlencoded", "Content-Type");
  request.setValue("zh-Hans;q=1", "accept-language");
  request.setValue("2", "X-Version");
  request.setHTTPBody(ns::dataFromString("name=a%20b%26c&x=1"));

  const auto delegate = load(request);

  ASSERT_TRUE(delegate->finished);
  const testsupport::RecordedRequest received = server_.requests().at(0);
  EXPECT_EQ(received.method, "POST");
  EXPECT_EQ(received.body, "name=a%20b%26c&x=1");
  EXPECT_EQ(received.header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(received.header("Accept-Language"), "zh-Hans;q=1");
  EXPECT_EQ(received.header("X-Version"), "2");
  EXPECT_FALSE(received.header("Expect").has_value());
  ASSERT_FALSE(delegate->uploads.empty());
  EXPECT_EQ(delegate->uploads.back().totalBytesWritten, 18);
  EXPECT_EQ(delegate->uploads.back().totalBytesExpectedToWrite, 18);
}

TEST_F(URLConnectionTest, UploadsAStreamBodyWithProgress) {
  server_.route("/upload", TestResponse::text(200, "stored"));
  const std::string payload = nettest::patternedBody(300'000);
  ns::URLRequest withLength = requestFor(server_.url("/upload"));
  withLength.setHTTPMethod("PUT");
  withLength.setValue(std::to_string(payload.size()), "Content-Length");
  withLength.setHTTPBodyStream(ns::InputStream::withData(ns::dataFromString(payload)));
  ns::URLRequest withoutLength = requestFor(server_.url("/upload"));
  withoutLength.setHTTPMethod("POST");
  withoutLength.setHTTPBodyStream(ns::InputStream::withData(ns::dataFromString("streamed")));

  const auto sized = load(withLength);
  const auto unsized = load(withoutLength);

  ASSERT_TRUE(sized->finished);
  EXPECT_EQ(server_.requests().at(0).method, "PUT");
  EXPECT_TRUE(server_.requests().at(0).body == payload);
  std::int64_t total = 0;
  for (const nettest::UploadReport& report : sized->uploads) {
    total += report.bytesWritten;
    EXPECT_EQ(report.totalBytesWritten, total);
    EXPECT_EQ(report.totalBytesExpectedToWrite, static_cast<std::int64_t>(payload.size()));
  }
  EXPECT_EQ(total, static_cast<std::int64_t>(payload.size()));
  EXPECT_EQ(sized->events.front(), "upload");
  ASSERT_TRUE(unsized->finished);
  EXPECT_EQ(server_.requests().at(1).body, "streamed");
  EXPECT_EQ(server_.requests().at(1).header("Transfer-Encoding"), "chunked");
  EXPECT_EQ(unsized->uploads.back().totalBytesExpectedToWrite, -1);
}

TEST_F(URLConnectionTest, AHeadRequestFinishesWithoutBody) {
  server_.route("/file", TestResponse::text(200, "0123456789"));
  ns::URLRequest request = requestFor(server_.url("/file"));
  request.setHTTPMethod("HEAD");

  const auto delegate = load(request);

  EXPECT_THAT(delegate->events, ElementsAre("response 200", "finish"));
  EXPECT_EQ(delegate->response->expectedContentLength(), 10);
}

TEST_F(URLConnectionTest, ResumesARangeOnlyWhileTheEntityIsUnchanged) {
  server_.route("/video", [](const testsupport::RecordedRequest& request) {
    return TestResponse::ranged(request, "0123456789", "\"v1\"");
  });
  const auto rangeFrom = [&](const std::string& entityTag) {
    ns::URLRequest request = requestFor(server_.url("/video"));
    request.setValue("bytes=4-", "Range");
    request.setValue(entityTag, "If-Range");
    return load(request);
  };

  const auto unchanged = rangeFrom("\"v1\"");
  const auto changed = rangeFrom("\"v0\"");

  EXPECT_EQ(unchanged->httpResponse().statusCode(), 206);
  EXPECT_EQ(unchanged->httpResponse().allHeaderFields().at("Content-Range"), "bytes 4-9/10");
  EXPECT_EQ(unchanged->body, "456789");
  EXPECT_EQ(changed->httpResponse().statusCode(), 200);
  EXPECT_EQ(changed->body, "0123456789");
}

TEST_F(URLConnectionTest, ConnectionsOfOneLoopShareOpenServerConnections) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(load(requestFor(server_.url("/slow")))->finished);
  }

  EXPECT_EQ(server_.requestCount(), 3u);
  EXPECT_EQ(server_.connectionCount(), 1u);
}

TEST_F(URLConnectionTest, FollowsARelativeLocationAndReportsOnlyTheFinalResponse) {
  const auto delegate = load(requestFor(server_.url("/start")));

  EXPECT_THAT(delegate->events,
              ElementsAre("redirect " + server_.url("/final?from=start"), "response 200", "data", "finish"));
  EXPECT_EQ(delegate->body, "final");
  EXPECT_EQ(delegate->response->url().absoluteString(), server_.url("/final?from=start"));
}

TEST_F(URLConnectionTest, TheDelegateMayChangeTheRedirectRequest) {
  auto delegate = std::make_shared<RecordingDelegate>();
  delegate->redirectPolicy = [&](ns::URLRequest proposed, const ns::HTTPURLResponse& response) {
    EXPECT_EQ(response.statusCode(), 302);
    proposed.setURL(ns::URL::fromString(server_.url("/other")));
    proposed.setValue("yes", "X-Changed");
    return std::optional(proposed);
  };

  load(requestFor(server_.url("/start")), delegate);

  EXPECT_EQ(delegate->body, "other");
  EXPECT_EQ(server_.requests().back().path, "/other");
  EXPECT_EQ(server_.requests().back().header("X-Changed"), "yes");
}

TEST_F(URLConnectionTest, ARefusedRedirectIsTheFinalResponseWithItsBody) {
  auto delegate = std::make_shared<RecordingDelegate>();
  delegate->redirectPolicy = [](ns::URLRequest, const ns::HTTPURLResponse&) { return std::nullopt; };

  load(requestFor(server_.url("/start")), delegate);

  EXPECT_THAT(delegate->events,
              ElementsAre("redirect " + server_.url("/final?from=start"), "response 302", "data", "finish"));
  EXPECT_EQ(delegate->body, "redirecting");
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(URLConnectionTest, PostBecomesGetAfter302ButStaysPostAfter307) {
  for (const std::string path : {"/post302", "/post307"}) {
    ns::URLRequest request = requestFor(server_.url(path));
    request.setHTTPMethod("POST");
    request.setValue("application/x-www-form-urlencoded", "Content-Type");
    request.setHTTPBody(ns::dataFromString("a=1"));
    load(request);
  }

  const auto requests = server_.requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[1].method, "GET");
  EXPECT_EQ(requests[1].body, "");
  EXPECT_FALSE(requests[1].header("Content-Type").has_value());
  EXPECT_EQ(requests[3].method, "POST");
  EXPECT_EQ(requests[3].body, "a=1");
}

TEST_F(URLConnectionTest, AStreamBodyCannotBeSentTwice) {
  ns::URLRequest request = requestFor(server_.url("/post307"));
  request.setHTTPMethod("POST");
  request.setHTTPBodyStream(ns::InputStream::withData(ns::dataFromString("once")));

  const auto delegate = load(request);

  expectURLError(*delegate, ns::kURLErrorRequestBodyStreamExhausted, server_.url("/final"));
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(URLConnectionTest, CredentialsStayWithTheirOrigin) {
  LoopbackHTTPServer elsewhere;
  elsewhere.route("/landing", TestResponse::text(200, "ok"));
  server_.route("/away", TestResponse::redirect(302, elsewhere.url("/landing", "localhost")));
  ns::URLRequest request = requestFor(server_.url("/away"));
  request.setValue("Basic c2VjcmV0", "Authorization");
  request.setValue("kept", "X-Other");

  load(request);

  ASSERT_EQ(elsewhere.requestCount(), 1u);
  EXPECT_FALSE(elsewhere.requests()[0].header("Authorization").has_value());
  EXPECT_EQ(elsewhere.requests()[0].header("X-Other"), "kept");
}

TEST_F(URLConnectionTest, TooManyRedirectsFail) {
  server_.route("/loop", TestResponse::redirect(302, "/loop"));

  const auto delegate = load(requestFor(server_.url("/loop")));

  expectURLError(*delegate, ns::kURLErrorHTTPTooManyRedirects, server_.url("/loop"));
  EXPECT_EQ(server_.requestCount(), static_cast<std::size_t>(ns::URLConnection::kMaximumRedirects + 1));
  EXPECT_FALSE(delegate->response);
}

TEST_F(URLConnectionTest, UnreachableHostsFailWithTheirOwnCodes) {
  const std::vector<std::pair<std::string, ns::URLErrorCode>> cases = {
      {"http://no-such-host.invalid/x", ns::kURLErrorCannotFindHost},
      {"http://127.0.0.1:" + std::to_string(closedPort()) + "/x", ns::kURLErrorCannotConnectToHost},
  };
  for (const auto& [url, code] : cases) {
    const auto delegate = load(requestFor(url));
    expectURLError(*delegate, code, url);
    EXPECT_THAT(delegate->events, ElementsAre("fail " + std::to_string(code)));
  }
}

TEST_F(URLConnectionTest, AConnectionDroppedMidBodyIsLost) {
  TestResponse cut = TestResponse::text(200, std::string(1000, 'z'));
  cut.closeAfterBodyBytes = 100;
  server_.route("/cut", cut);
  TestResponse cutChunked = cut;
  cutChunked.framing = TestResponse::Framing::kChunked;
  cutChunked.pieceSize = 50;
  server_.route("/cut-chunked", cutChunked);

  const auto plain = load(requestFor(server_.url("/cut")));
  const auto chunked = load(requestFor(server_.url("/cut-chunked")));

  expectURLError(*plain, ns::kURLErrorNetworkConnectionLost, server_.url("/cut"));
  EXPECT_THAT(plain->events, ElementsAre("response 200", "data", "fail -1005"));
  EXPECT_EQ(plain->body, std::string(100, 'z'));
  expectURLError(*chunked, ns::kURLErrorNetworkConnectionLost, server_.url("/cut-chunked"));
}

TEST_F(URLConnectionTest, RequestsThatCannotBeSentFailOnALaterTurn) {
  const std::vector<std::pair<std::optional<ns::URL>, ns::URLErrorCode>> cases = {
      {std::nullopt, ns::kURLErrorBadURL},
      {ns::URL::fromString("ftp://127.0.0.1/file"), ns::kURLErrorUnsupportedURL},
      {ns::URL::fromString("relative/path"), ns::kURLErrorUnsupportedURL},
      {ns::URL::fromString("http:///nohost"), ns::kURLErrorBadURL},
  };
  for (const auto& [url, code] : cases) {
    auto delegate = std::make_shared<RecordingDelegate>();
    const auto connection = nettest::start(ns::URLRequest(url), delegate);
    EXPECT_TRUE(delegate->events.empty()) << "no delegate call inside start()";
    ASSERT_TRUE(nettest::runUntilEnded(*delegate));
    ASSERT_TRUE(delegate->error.has_value());
    EXPECT_EQ(delegate->error->code(), code);
  }
}

TEST_F(URLConnectionTest, ALoadWhoseDelegateIsGoneStopsQuietly) {
  auto delegate = std::make_shared<RecordingDelegate>();
  bool sawData = false;
  delegate->onEvent = [&](ns::URLConnection&, const std::string& event) {
    sawData = sawData || event == "data";
  };
  std::weak_ptr<ns::URLConnection> weakConnection =
      nettest::start(requestFor(server_.url("/slow")), delegate);

  ASSERT_TRUE(ns::RunLoop::current().runUntil([&] { return sawData; }, std::chrono::seconds(10)));
  delegate.reset();

  // Dropped by the caller and without a delegate, the running connection is released once it notices.
  EXPECT_TRUE(
      ns::RunLoop::current().runUntil([&] { return weakConnection.expired(); }, std::chrono::seconds(10)));
}

}  // namespace
