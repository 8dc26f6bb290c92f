// A bounded data load against a loopback server: the body with its response, the bound by announcement and
// by bytes received, the caller's check of the response, failures, and a caller that cancels or lets go.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/net/URLDataLoad.h"
#include "platform/net/URLError.h"
#include "platform/net/url_connection_test_util.h"

namespace {

using nettest::requestFor;
using testsupport::LoopbackHTTPServer;
using testsupport::TestResponse;
using namespace std::chrono_literals;

constexpr std::size_t kMaximum = 4096;

// What a completion heard, and how often.
struct Outcome {
  int calls = 0;
  std::shared_ptr<const ns::URLResponse> response;
  std::optional<ns::Result<ns::Data>> body;

  int status() const {
    const auto* http = dynamic_cast<const ns::HTTPURLResponse*>(response.get());
    return http ? http->statusCode() : 0;
  }
  std::string text() const { return body && body->ok() ? ns::stringFromData(**body) : ""; }
  std::int64_t errorCode() const { return body && !body->ok() ? body->error().code() : 0; }
};

class URLDataLoadTest : public nettest::LoopbackTest {
 protected:
  // Starts loading `url` into `outcome`.
  static std::shared_ptr<ns::URLDataLoad> start(const std::string& url, Outcome& outcome,
                                                ns::URLDataLoad::ResponseCheck check = nullptr) {
    return ns::URLDataLoad::start(
        requestFor(url), kMaximum, std::move(check),
        [&outcome](std::shared_ptr<const ns::URLResponse> response, ns::Result<ns::Data> body) {
          ++outcome.calls;
          outcome.response = std::move(response);
          outcome.body = std::move(body);
        });
  }

  // Loads `url` to its end, within a deadline that a load waiting for a body's rest would miss; the
  // outcome is checked to come once and never inside start().
  static Outcome load(const std::string& url, ns::URLDataLoad::ResponseCheck check = nullptr) {
    Outcome outcome;
    const auto running = start(url, outcome, std::move(check));
    EXPECT_EQ(outcome.calls, 0) << "a completion inside start()";
    EXPECT_TRUE(ns::RunLoop::current().runUntil([&] { return outcome.calls > 0; }, 20s)) << url;
    nettest::runFor(50ms);
    EXPECT_EQ(outcome.calls, 1) << url;
    return outcome;
  }

  // A body of twice `kMaximum + 1` bytes: the first half at once, the rest only after a minute, so a load
  // that ends in time stopped at the bound rather than read on.
  static TestResponse pastTheBound(TestResponse::Framing framing) {
    TestResponse response = TestResponse::text(200, std::string(2 * (kMaximum + 1), 'x'));
    response.framing = framing;
    response.pieceSize = kMaximum + 1;
    response.pauseBetweenPieces = std::chrono::minutes(1);
    return response;
  }
};

// The body up to the bound arrives whole with its response, which names the server; an error status is a
// response like any other.
TEST_F(URLDataLoadTest, HandsOverTheBodyWithItsResponse) {
  TestResponse atTheBound = TestResponse::text(200, std::string(kMaximum, 'b'));
  atTheBound.framing = TestResponse::Framing::kChunked;
  atTheBound.pieceSize = 1000;
  server_.route("/bound", atTheBound);
  server_.route("/teapot", TestResponse::text(418, "short and stout"));
  for (const auto& [path, status, text] :
       std::vector<std::tuple<std::string, int, std::string>>{{"/slow", 200, "0123456789"},
                                                              {"/bound", 200, std::string(kMaximum, 'b')},
                                                              {"/teapot", 418, "short and stout"}}) {
    const Outcome outcome = load(server_.url(path));
    EXPECT_EQ(outcome.status(), status) << path;
    EXPECT_EQ(outcome.text(), text) << path;
    ASSERT_NE(outcome.response, nullptr) << path;
    EXPECT_EQ(outcome.response->peerAddress(), "127.0.0.1") << path;
  }
}

// Past the bound, announced (even a gigabyte) or found while the bytes come, the load stops at once: no
// more than the bound is ever held. The failure keeps the response and names the URL and the server.
TEST_F(URLDataLoadTest, ABodyPastTheBoundStopsTheLoadAtOnce) {
  server_.route("/announced", pastTheBound(TestResponse::Framing::kContentLength));
  server_.route("/chunked", pastTheBound(TestResponse::Framing::kChunked));
  TestResponse gigabyte;
  gigabyte.rawReply = "HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\nxxxx";
  server_.route("/gigabyte", gigabyte);
  for (const std::string path : {"/announced", "/chunked", "/gigabyte"}) {
    const Outcome outcome = load(server_.url(path));
    EXPECT_EQ(outcome.errorCode(), ns::kURLErrorDataLengthExceedsMaximum) << path;
    EXPECT_EQ(outcome.status(), 200) << path;
    ASSERT_TRUE(outcome.body && !outcome.body->ok()) << path;
    EXPECT_EQ(outcome.body->error().domain(), ns::kURLErrorDomain);
    EXPECT_EQ(
        outcome.body->error().userInfo().at(std::string(ns::kURLErrorFailingURLStringErrorKey)).asString(),
        server_.url(path));
    EXPECT_EQ(ns::peerAddressOf(outcome.body->error()), "127.0.0.1") << path;
  }
}

// The caller's check sees the response first; its error ends the load before any of the body is read.
TEST_F(URLDataLoadTest, TheChecksErrorEndsTheLoadBeforeTheBody) {
  server_.route("/announced", pastTheBound(TestResponse::Framing::kContentLength));
  std::vector<int> checked;
  const Outcome outcome =
      load(server_.url("/announced"), [&](const ns::URLResponse& response) -> std::optional<ns::Error> {
        checked.push_back(dynamic_cast<const ns::HTTPURLResponse&>(response).statusCode());
        return ns::Error("com.quillmark.test", 7);
      });
  EXPECT_EQ(checked, std::vector<int>{200});
  ASSERT_TRUE(outcome.body && !outcome.body->ok());
  EXPECT_EQ(outcome.body->error(), ns::Error("com.quillmark.test", 7));
  EXPECT_EQ(outcome.status(), 200);

  const Outcome passed = load(server_.url("/slow"), [](const ns::URLResponse&) { return std::nullopt; });
  EXPECT_EQ(passed.text(), "0123456789");
}

// Transport failures come as the connection's URL errors, without a response when none came.
TEST_F(URLDataLoadTest, TransportFailuresKeepTheirURLErrors) {
  TestResponse cut = TestResponse::text(200, std::string(1000, 'z'));
  cut.closeAfterBodyBytes = 100;
  server_.route("/cut", cut);
  const Outcome dropped = load(server_.url("/cut"));
  EXPECT_EQ(dropped.errorCode(), ns::kURLErrorNetworkConnectionLost);
  EXPECT_EQ(dropped.status(), 200);
  EXPECT_EQ(ns::peerAddressOf(dropped.body->error()), "127.0.0.1");

  const std::string closedPortURL = LoopbackHTTPServer().url("/x");  // Its port closes with the server.
  const Outcome refused = load(closedPortURL);
  EXPECT_EQ(refused.errorCode(), ns::kURLErrorCannotConnectToHost);
  EXPECT_EQ(refused.response, nullptr);
  EXPECT_EQ(ns::peerAddressOf(refused.body->error()), std::nullopt);
}

// Cancelled or dropped at any point (at once, while the server has the request, when the response is in),
// the load never calls back; the completion may drop the load itself.
TEST_F(URLDataLoadTest, NoCompletionAfterCancelOrDrop) {
  for (const bool drop : {false, true}) {
    for (const std::string stopAt : {"at once", "request", "response"}) {
      SCOPED_TRACE(std::string(drop ? "dropped " : "cancelled ") + stopAt);
      const std::size_t before = server_.requestCount();
      Outcome outcome;
      bool stopped = false;
      std::shared_ptr<ns::URLDataLoad> running;
      const auto stop = [&] {
        if (drop) {
          running.reset();
        } else {
          running->cancel();
          running->cancel();
        }
        stopped = true;
      };
      running = start(server_.url("/slow"), outcome, [&](const ns::URLResponse&) {
        if (stopAt == "response") {
          stop();
        }
        return std::nullopt;
      });
      if (stopAt == "request") {
        ASSERT_TRUE(ns::RunLoop::current().runUntil([&] { return server_.requestCount() > before; }, 10s));
      }
      if (stopAt != "response") {
        stop();
      }
      ASSERT_TRUE(ns::RunLoop::current().runUntil([&] { return stopped; }, 10s));
      nettest::runFor(200ms);
      EXPECT_EQ(outcome.calls, 0);
    }
  }

  std::shared_ptr<ns::URLDataLoad> selfDropping;
  int calls = 0;
  selfDropping =
      ns::URLDataLoad::start(requestFor(server_.url("/slow")), kMaximum, nullptr,
                             [&](std::shared_ptr<const ns::URLResponse>, ns::Result<ns::Data> body) {
                               ++calls;
                               selfDropping.reset();
                               EXPECT_EQ(ns::stringFromData(*body), "0123456789");
                             });
  ASSERT_TRUE(ns::RunLoop::current().runUntil([&] { return calls > 0; }, 20s));
  nettest::runFor(50ms);
  EXPECT_EQ(calls, 1);
}

}  // namespace
