// A media resource load against a loopback server: each failure in the media framework's terms, and the
// address of the server reached, on the load and in its error, for the logs.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/avfoundation/MediaResourceLoad.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/URLError.h"
#include "support/loopback_http_server.h"

namespace {

using testsupport::TestResponse;
using namespace std::chrono_literals;

constexpr std::size_t kMaximum = 1024;

class MediaResourceLoadTest : public testing::Test {
 protected:
  struct Ended {
    std::optional<ns::Result<ns::Data>> body;
    std::optional<std::string> peerAddress;
  };

  // Loads `url` to its end; the address is read inside the completion, as its contract says.
  static Ended load(const std::string& url) {
    Ended ended;
    std::shared_ptr<av::MediaResourceLoad> running;
    running =
        av::MediaResourceLoad::start(*ns::URL::fromString(url), kMaximum, [&](ns::Result<ns::Data> body) {
          ended.body = std::move(body);
          ended.peerAddress = running->peerAddress();
          running.reset();
        });
    EXPECT_TRUE(ns::RunLoop::current().runUntil([&] { return ended.body.has_value(); }, 20s)) << url;
    return ended;
  }

  testsupport::LoopbackHTTPServer server_;
};

// Every failure past a connection carries the server's address where the logs look for it; one that reached
// no server carries none.
TEST_F(MediaResourceLoadTest, FailuresKeepTheirMediaErrorsAndNameTheServerReached) {
  server_.route("/segment.ts", TestResponse::text(200, "segment"));
  server_.route("/busy.ts", TestResponse::text(503, "busy"));
  TestResponse gigabyte;
  gigabyte.rawReply = "HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\n";
  server_.route("/gigabyte.ts", gigabyte);
  TestResponse cut = TestResponse::text(200, std::string(500, 'z'));
  cut.closeAfterBodyBytes = 100;
  server_.route("/cut.ts", cut);
  const std::string refusedURL = testsupport::LoopbackHTTPServer().url("/gone.ts");

  const Ended loaded = load(server_.url("/segment.ts"));
  ASSERT_TRUE(loaded.body->ok());
  EXPECT_EQ(ns::stringFromData(**loaded.body), "segment");
  EXPECT_EQ(loaded.peerAddress, "127.0.0.1");

  struct Case {
    std::string url;
    std::string domain;
    std::int64_t code;
    std::optional<std::string> peerAddress;
  };
  for (const Case& c : std::vector<Case>{
           {server_.url("/missing.ts"), "CoreMediaErrorDomain", av::kMediaResourceNotFound, "127.0.0.1"},
           {server_.url("/busy.ts"), "CoreMediaErrorDomain", av::kMediaResourceHTTPError, "127.0.0.1"},
           {server_.url("/gigabyte.ts"), "com.quillmark.media", av::kMediaResourceTooLarge, "127.0.0.1"},
           {server_.url("/cut.ts"), "kCFErrorDomainCFNetwork", ns::kURLErrorNetworkConnectionLost,
            "127.0.0.1"},
           {refusedURL, "kCFErrorDomainCFNetwork", ns::kURLErrorCannotConnectToHost, std::nullopt},
       }) {
    SCOPED_TRACE(c.url);
    const Ended ended = load(c.url);
    ASSERT_FALSE(ended.body->ok());
    const ns::Error& error = ended.body->error();
    EXPECT_EQ(error.domain(), c.domain);
    EXPECT_EQ(error.code(), c.code);
    EXPECT_EQ(ns::peerAddressOf(error), c.peerAddress);
    EXPECT_EQ(ended.peerAddress, c.peerAddress);
  }
}

}  // namespace
