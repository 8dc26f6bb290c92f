// Redirects: followed, changed or refused by the delegate, methods across redirects, and the limit.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/net/URLConnection.h"
#include "platform/net/URLConnectionTestUtil.h"
#include "platform/net/URLError.h"
#include "support/LoopbackHTTPServer.h"

namespace {

using nettest::RecordingDelegate;
using nettest::requestFor;
using testing::ElementsAre;
using testsupport::LoopbackHTTPServer;
using testsupport::TestResponse;

class URLConnectionRedirectTest : public testing::Test {
 protected:
  URLConnectionRedirectTest() {
    server_.route("/start", TestResponse::redirect(302, "/dir/../final?from=start"));
    server_.route("/final", TestResponse::text(200, "final"));
    server_.route("/other", TestResponse::text(200, "other"));
  }

  std::shared_ptr<RecordingDelegate> load(ns::URLRequest request,
                                          const std::shared_ptr<RecordingDelegate>& delegate) {
    const auto connection = nettest::start(std::move(request), delegate);
    EXPECT_TRUE(nettest::runUntilEnded(*delegate));
    return delegate;
  }

  LoopbackHTTPServer server_;
};

TEST_F(URLConnectionRedirectTest, FollowsARelativeLocationAndReportsOnlyTheFinalResponse) {
  const auto delegate = load(requestFor(server_.url("/start")), std::make_shared<RecordingDelegate>());

  EXPECT_THAT(delegate->events,
              ElementsAre("redirect " + server_.url("/final?from=start"), "response 200", "data", "finish"));
  EXPECT_EQ(delegate->body, "final");
  EXPECT_EQ(delegate->response->url().absoluteString(), server_.url("/final?from=start"));
}

TEST_F(URLConnectionRedirectTest, TheDelegateMayChangeTheRedirectRequest) {
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

TEST_F(URLConnectionRedirectTest, ARefusedRedirectIsTheFinalResponseWithItsBody) {
  auto delegate = std::make_shared<RecordingDelegate>();
  delegate->redirectPolicy = [](ns::URLRequest, const ns::HTTPURLResponse&) { return std::nullopt; };

  load(requestFor(server_.url("/start")), delegate);

  EXPECT_THAT(delegate->events,
              ElementsAre("redirect " + server_.url("/final?from=start"), "response 302", "data", "finish"));
  EXPECT_EQ(delegate->body, "redirecting");
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(URLConnectionRedirectTest, PostBecomesGetAfter302ButStaysPostAfter307) {
  server_.route("/post302", TestResponse::redirect(302, "/final"));
  server_.route("/post307", TestResponse::redirect(307, "/final"));
  for (const std::string path : {"/post302", "/post307"}) {
    ns::URLRequest request = requestFor(server_.url(path));
    request.setHTTPMethod("POST");
    request.setValue("application/x-www-form-urlencoded", "Content-Type");
    request.setHTTPBody(ns::dataFromString("a=1"));
    load(request, std::make_shared<RecordingDelegate>());
  }

  const auto requests = server_.requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[1].method, "GET");
  EXPECT_EQ(requests[1].body, "");
  EXPECT_FALSE(requests[1].header("Content-Type").has_value());
  EXPECT_EQ(requests[3].method, "POST");
  EXPECT_EQ(requests[3].body, "a=1");
}

TEST_F(URLConnectionRedirectTest, AStreamBodyCannotBeSentTwice) {
  server_.route("/post307", TestResponse::redirect(307, "/final"));
  ns::URLRequest request = requestFor(server_.url("/post307"));
  request.setHTTPMethod("POST");
  request.setHTTPBodyStream(ns::InputStream::withData(ns::dataFromString("once")));

  const auto delegate = load(request, std::make_shared<RecordingDelegate>());

  ASSERT_TRUE(delegate->error.has_value());
  EXPECT_EQ(delegate->error->code(), ns::kURLErrorRequestBodyStreamExhausted);
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(URLConnectionRedirectTest, CredentialsStayWithTheirOrigin) {
  LoopbackHTTPServer elsewhere;
  elsewhere.route("/landing", TestResponse::text(200, "ok"));
  server_.route("/away", TestResponse::redirect(302, elsewhere.url("/landing", "localhost")));
  ns::URLRequest request = requestFor(server_.url("/away"));
  request.setValue("Basic c2VjcmV0", "Authorization");
  request.setValue("kept", "X-Other");

  load(request, std::make_shared<RecordingDelegate>());

  ASSERT_EQ(elsewhere.requestCount(), 1u);
  EXPECT_FALSE(elsewhere.requests()[0].header("Authorization").has_value());
  EXPECT_EQ(elsewhere.requests()[0].header("X-Other"), "kept");
}

TEST_F(URLConnectionRedirectTest, TooManyRedirectsFail) {
  server_.route("/loop", TestResponse::redirect(302, "/loop"));

  const auto delegate = load(requestFor(server_.url("/loop")), std::make_shared<RecordingDelegate>());

  ASSERT_TRUE(delegate->error.has_value());
  EXPECT_EQ(delegate->error->domain(), ns::kURLErrorDomain);
  EXPECT_EQ(delegate->error->code(), ns::kURLErrorHTTPTooManyRedirects);
  EXPECT_EQ(server_.requestCount(), static_cast<std::size_t>(ns::URLConnection::kMaximumRedirects + 1));
  EXPECT_FALSE(delegate->response);
}

}  // namespace
