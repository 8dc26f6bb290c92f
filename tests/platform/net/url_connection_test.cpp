// Plain HTTP loads against a loopback server: responses and bodies, what goes out, redirects, and failures.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "platform/net/url_connection_test_util.h"

namespace {

using nettest::expectURLError;
using nettest::load;
using nettest::RecordingDelegate;
using nettest::requestFor;
using testing::ElementsAre;
using testsupport::LoopbackHTTPServer;
using testsupport::TestResponse;

ns::URLRequest post(const std::string& url, const std::string& body) {
  ns::URLRequest request = requestFor(url);
  request.setHTTPMethod("POST");
  request.setValue("application/x-www-form-urlencoded", "Content-Type");
  request.setHTTPBody(ns::dataFromString(body));
  return request;
}

class URLConnectionTest : public nettest::LoopbackTest {
 protected:
  URLConnectionTest() {
    server_.route("/start", TestResponse::redirect(302, "/dir/../final?from=start"));
    server_.route("/post302", TestResponse::redirect(302, "/final"));
    server_.route("/post307", TestResponse::redirect(307, "/final"));
    server_.route("/final", TestResponse::text(200, "final"));
  }
};

TEST_F(URLConnectionTest, DeliversTheResponseOnceBeforeTheBodyThenFinishes) {
  TestResponse reply = TestResponse::text(200, "hello", "Text/HTML; charset=GBK");
  reply.headers.emplace_back("X-Trace", "abc");
  server_.route("/page", reply);
  const auto delegate = load(requestFor(server_.url("/page?x=1#part")));
  EXPECT_THAT(delegate->events, ElementsAre("response 200", "data", "finish"));
  EXPECT_EQ(delegate->body, "hello");
  const auto& response = dynamic_cast<const ns::HTTPURLResponse&>(*delegate->response);
  EXPECT_EQ(response.url().absoluteString(), server_.url("/page?x=1#part"));
  EXPECT_EQ(response.MIMEType(), "text/html");
  EXPECT_EQ(response.textEncodingName(), "GBK");
  EXPECT_EQ(response.allHeaderFields().at("x-trace"), "abc");
  EXPECT_EQ(server_.requests().at(0).target, "/page?x=1") << "the fragment stays with the client";
}

// Error statuses are responses, not failures; every framing arrives whole; a HEAD response has no body; and
// the loads of one loop share one open server connection.
TEST_F(URLConnectionTest, ReadsEveryStatusAndFramingWholeOverOneConnection) {
  const std::string big(100'000, 'x');
  TestResponse chunked = TestResponse::text(200, big);
  chunked.framing = TestResponse::Framing::kChunked;
  chunked.pieceSize = 7'000;
  server_.route("/chunked", chunked);
  server_.route("/404", TestResponse::text(404, "{\"code\":1}", "application/json"));
  server_.route("/500", TestResponse::text(500, "{}", "application/json"));
  struct Case {
    std::string method, path;
    int status;
    std::string body;
    std::int64_t length;
  };
  for (const Case& c : std::vector<Case>{{"GET", "/chunked", 200, big, ns::URLResponse::kUnknownLength},
                                         {"GET", "/slow", 200, "0123456789", 10},
                                         {"HEAD", "/slow", 200, "", 10},
                                         {"GET", "/404", 404, "{\"code\":1}", 10},
                                         {"GET", "/500", 500, "{}", 2}}) {
    ns::URLRequest request = requestFor(server_.url(c.path));
    request.setHTTPMethod(c.method);
    const auto delegate = load(request);
    std::vector<std::string> events = {"response " + std::to_string(c.status), "data", "finish"};
    if (c.body.empty()) {
      events.erase(events.begin() + 1);
    }
    EXPECT_EQ(delegate->events, events) << c.method << c.path;
    EXPECT_TRUE(delegate->body == c.body) << c.method << c.path;
    EXPECT_EQ(delegate->response->expectedContentLength(), c.length) << c.method << c.path;
  }
  EXPECT_EQ(server_.connectionCount(), 1u);
}

// A data body, and stream bodies of announced and of unknown length (sent chunked), go out whole, with
// progress that adds up.
TEST_F(URLConnectionTest, SendsMethodHeadersAndBodyAsGiven) {
  const std::string payload = nettest::patternedBody(300'000);
  ns::URLRequest form = post(server_.url("/final"), "name=a%20b%26c&x=1");
  form.setValue("zh-Hans;q=1", "accept-language");
  ns::URLRequest sized = requestFor(server_.url("/final"));
  sized.setHTTPMethod("PUT");
  sized.setValue(std::to_string(payload.size()), "Content-Length");
  sized.setHTTPBodyStream(ns::InputStream::withData(ns::dataFromString(payload)));
  ns::URLRequest unsized = post(server_.url("/final"), "");
  unsized.setHTTPBodyStream(ns::InputStream::withData(ns::dataFromString("streamed")));
  const std::vector<std::tuple<ns::URLRequest, std::string, std::int64_t>> cases = {
      {form, "name=a%20b%26c&x=1", 18}, {sized, payload, 300'000}, {unsized, "streamed", -1}};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto& [request, body, expectedLength] = cases[i];
    const auto delegate = load(request);
    EXPECT_TRUE(delegate->finished) << i;
    EXPECT_EQ(delegate->events.front(), "upload") << i;
    EXPECT_EQ(delegate->uploadExpected, expectedLength) << i;
    EXPECT_TRUE(expectedLength < 0 || delegate->uploaded == expectedLength) << i;
    EXPECT_EQ(server_.requests().at(i).method, request.HTTPMethod()) << i;
    EXPECT_TRUE(server_.requests().at(i).body == body) << i;
  }
  const auto requests = server_.requests();
  EXPECT_EQ(requests[0].header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(requests[0].header("Accept-Language"), "zh-Hans;q=1");
  EXPECT_FALSE(requests[0].header("Expect").has_value());
  EXPECT_EQ(requests[2].header("Transfer-Encoding"), "chunked");
}

// Followed, a redirect shows only the final response; refused, it is the final response, with its body.
TEST_F(URLConnectionTest, FollowsARelativeLocationUnlessTheDelegateRefuses) {
  for (const bool refuse : {false, true}) {
    auto delegate = std::make_shared<RecordingDelegate>();
    if (refuse) {
      delegate->redirectPolicy = [](ns::URLRequest, const ns::HTTPURLResponse&) { return std::nullopt; };
    }
    load(requestFor(server_.url("/start")), delegate);
    EXPECT_THAT(delegate->events, ElementsAre("redirect " + server_.url("/final?from=start"),
                                              refuse ? "response 302" : "response 200", "data", "finish"));
    EXPECT_EQ(delegate->body, refuse ? "redirecting" : "final");
    EXPECT_EQ(delegate->response->url().absoluteString(),
              server_.url(refuse ? "/start" : "/final?from=start"));
  }
  EXPECT_EQ(server_.requestCount(), 3u);
}

TEST_F(URLConnectionTest, TheDelegateMayChangeTheRedirectRequest) {
  auto delegate = std::make_shared<RecordingDelegate>();
  delegate->redirectPolicy = [&](ns::URLRequest proposed, const ns::HTTPURLResponse& response) {
    EXPECT_EQ(response.statusCode(), 302);
    proposed.setURL(ns::URL::fromString(server_.url("/slow")));
    proposed.setValue("yes", "X-Changed");
    return std::optional(proposed);
  };
  load(requestFor(server_.url("/start")), delegate);
  EXPECT_EQ(delegate->body, "0123456789");
  EXPECT_EQ(server_.requests().back().path, "/slow");
  EXPECT_EQ(server_.requests().back().header("X-Changed"), "yes");
}

// A stream body cannot be sent again after a 307: the load fails rather than send it short.
TEST_F(URLConnectionTest, PostBecomesGetAfter302ButStaysPostAfter307) {
  load(post(server_.url("/post302"), "a=1"));
  load(post(server_.url("/post307"), "a=1"));
  ns::URLRequest streamed = requestFor(server_.url("/post307"));
  streamed.setHTTPMethod("POST");
  streamed.setHTTPBodyStream(ns::InputStream::withData(ns::dataFromString("once")));
  expectURLError(*load(streamed), ns::kURLErrorRequestBodyStreamExhausted, server_.url("/final"));
  const auto requests = server_.requests();
  ASSERT_EQ(requests.size(), 5u);
  EXPECT_EQ(requests[1].method, "GET");
  EXPECT_EQ(requests[1].body, "");
  EXPECT_FALSE(requests[1].header("Content-Type").has_value());
  EXPECT_EQ(requests[3].method, "POST");
  EXPECT_EQ(requests[3].body, "a=1");
  EXPECT_EQ(requests[4].body, "once");
}

TEST_F(URLConnectionTest, CredentialsStayWithTheirOrigin) {
  LoopbackHTTPServer elsewhere;
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
  std::string closedPortURL = LoopbackHTTPServer().url("/x");  // Its port closes with the server.
  for (const auto& [url, code] :
       {std::pair{std::string("http://no-such-host.invalid/x"), ns::kURLErrorCannotFindHost},
        {closedPortURL, ns::kURLErrorCannotConnectToHost}}) {
    const auto delegate = load(requestFor(url));
    expectURLError(*delegate, code, url);
    EXPECT_THAT(delegate->events, ElementsAre("fail " + std::to_string(code)));
  }
}

TEST_F(URLConnectionTest, AConnectionDroppedMidBodyIsLost) {
  TestResponse cut = TestResponse::text(200, std::string(1000, 'z'));
  cut.closeAfterBodyBytes = 100;
  server_.route("/cut", cut);
  cut.framing = TestResponse::Framing::kChunked;
  cut.pieceSize = 50;
  server_.route("/cut-chunked", cut);
  for (const std::string path : {"/cut", "/cut-chunked"}) {
    const auto delegate = load(requestFor(server_.url(path)));
    expectURLError(*delegate, ns::kURLErrorNetworkConnectionLost, server_.url(path));
    EXPECT_THAT(delegate->events, ElementsAre("response 200", "data", "fail -1005")) << path;
    EXPECT_EQ(delegate->body, std::string(100, 'z')) << path;
  }
}

// The server reached is named on every response, error statuses and redirected loads included, and on a
// failure once a connection was made; a load that reached no server names none.
TEST_F(URLConnectionTest, ResponsesAndFailuresAfterConnectingNameTheServerReached) {
  TestResponse cut = TestResponse::text(200, std::string(1000, 'z'));
  cut.closeAfterBodyBytes = 100;
  server_.route("/cut", cut);
  for (const std::string path : {"/final", "/missing", "/start"}) {
    const auto delegate = load(requestFor(server_.url(path)));
    ASSERT_NE(delegate->response, nullptr) << path;
    EXPECT_EQ(delegate->response->peerAddress(), "127.0.0.1") << path;
  }
  const auto dropped = load(requestFor(server_.url("/cut")));
  ASSERT_TRUE(dropped->error.has_value());
  EXPECT_EQ(ns::peerAddressOf(*dropped->error), "127.0.0.1");

  const std::string closedPortURL = LoopbackHTTPServer().url("/x");
  const auto refused = load(requestFor(closedPortURL));
  expectURLError(*refused, ns::kURLErrorCannotConnectToHost, closedPortURL);
  EXPECT_FALSE(refused->error->userInfo().contains(ns::kURLErrorPeerAddressKey));
}

// A server that read a request on a kept-alive connection and hung up may have acted on it. GET and HEAD go
// again on a new connection; any other request fails rather than reach the server twice.
TEST_F(URLConnectionTest, OnlyGetAndHeadGoAgainWhenAReusedConnectionDiesUnanswered) {
  server_.route("/warm", TestResponse::text(200, "warm"));
  for (const auto& [method, sentAgain] :
       {std::pair{"GET", true}, {"HEAD", true}, {"POST", false}, {"DELETE", false}}) {
    const std::string path = std::string("/lost-first-") + method;
    server_.route(path, [answered = std::make_shared<std::atomic<bool>>(false)](const auto&) {
      TestResponse response = TestResponse::text(200, "ok");
      if (!answered->exchange(true)) {
        response.rawReply = "";
      }
      return response;
    });
    ASSERT_TRUE(load(requestFor(server_.url("/warm")))->finished);
    ns::URLRequest request =
        method == std::string("POST") ? post(server_.url(path), "order=1") : requestFor(server_.url(path));
    request.setHTTPMethod(method);
    const auto delegate = load(std::move(request));

    const auto requests = server_.requests();
    const auto arrivals = std::count_if(requests.begin(), requests.end(),
                                        [&](const auto& received) { return received.path == path; });
    EXPECT_EQ(arrivals, sentAgain ? 2 : 1) << method;
    if (sentAgain) {
      EXPECT_TRUE(delegate->finished) << method;
    } else {
      expectURLError(*delegate, ns::kURLErrorNetworkConnectionLost, server_.url(path));
    }
  }
}

// Bytes that do not read as an HTTP reply, from a valid http URL, are the server's fault, not the URL's.
TEST_F(URLConnectionTest, AReplyThatIsNoHTTPIsABadServerResponse) {
  for (const char* reply : {"garbage\r\n\r\n", "HTTP/9.9 200 OK\r\n\r\n", "HTTP/1.1 2x0 OK\r\n\r\n"}) {
    TestResponse raw;
    raw.rawReply = reply;
    server_.route("/raw", raw);
    const auto delegate = load(requestFor(server_.url("/raw")));
    expectURLError(*delegate, ns::kURLErrorBadServerResponse, server_.url("/raw"));
  }
}

TEST_F(URLConnectionTest, RequestsThatCannotBeSentFailOnALaterTurn) {
  for (const auto& [url, code] : std::vector<std::pair<std::optional<ns::URL>, ns::URLErrorCode>>{
           {std::nullopt, ns::kURLErrorBadURL},
           {ns::URL::fromString("ftp://127.0.0.1/file"), ns::kURLErrorUnsupportedURL},
           {ns::URL::fromString("relative/path"), ns::kURLErrorUnsupportedURL},
           {ns::URL::fromString("http:///nohost"), ns::kURLErrorBadURL}}) {
    auto delegate = std::make_shared<RecordingDelegate>();
    const auto connection = nettest::start(ns::URLRequest(url), delegate);
    EXPECT_TRUE(delegate->events.empty()) << "no delegate call inside start()";
    ASSERT_TRUE(nettest::runUntilEnded(*delegate));
    EXPECT_THAT(delegate->events, ElementsAre("fail " + std::to_string(code)));
  }
}

TEST_F(URLConnectionTest, ALoadWhoseDelegateIsGoneStopsQuietly) {
  auto delegate = std::make_shared<RecordingDelegate>();
  bool sawData = false;
  delegate->onEvent = [&](ns::URLConnection&, const std::string& event) { sawData |= event == "data"; };
  std::weak_ptr<ns::URLConnection> weakConnection =
      nettest::start(requestFor(server_.url("/slow")), delegate);
  ASSERT_TRUE(ns::RunLoop::current().runUntil([&] { return sawData; }, std::chrono::seconds(10)));
  delegate.reset();
  // Dropped by the caller and without a delegate, the running connection is released once it notices.
  EXPECT_TRUE(
      ns::RunLoop::current().runUntil([&] { return weakConnection.expired(); }, std::chrono::seconds(10)));
}

}  // namespace
