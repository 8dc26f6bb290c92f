// One download transfer against a loopback server: a storable body up to the transfer's maximum arrives
// whole; past it, announced or found while the bytes come, the transfer stops with its own error, while a
// reply that cannot be stored is refused as it always was.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "learning/downloads/QMDownloadTransfer.h"
#include "platform/foundation/loop/RunLoop.h"
#include "support/loopback_http_server.h"

namespace learning {

namespace {

using testsupport::TestResponse;
using namespace std::chrono_literals;

constexpr std::size_t kMaximum = 1000;

// A segment reply of `size` bytes in pieces of `kMaximum + 1`, a minute apart: a transfer that ends within
// its deadline stopped at the bound rather than wait for the rest.
TestResponse segment(std::size_t size, TestResponse::Framing framing) {
  TestResponse response = TestResponse::text(200, std::string(size, 's'), "video/MP2T");
  response.framing = framing;
  response.pieceSize = kMaximum + 1;
  response.pauseBetweenPieces = std::chrono::minutes(1);
  return response;
}

TEST(QMDownloadTransfer, ABodyPastItsMaximumIsRefusedAtOnce) {
  testsupport::LoopbackHTTPServer server;
  server.route("/at-maximum.ts", segment(kMaximum, TestResponse::Framing::kChunked));
  server.route("/announced.ts", segment(2 * (kMaximum + 1), TestResponse::Framing::kContentLength));
  server.route("/chunked.ts", segment(2 * (kMaximum + 1), TestResponse::Framing::kChunked));
  TestResponse gigabyte;
  gigabyte.rawReply = "HTTP/1.1 200 OK\r\nContent-Type: video/MP2T\r\nContent-Length: 1073741824\r\n\r\n";
  server.route("/gigabyte.ts", gigabyte);
  TestResponse untyped = gigabyte;
  untyped.rawReply = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 1073741824\r\n\r\n";
  server.route("/untyped.ts", untyped);

  struct Case {
    std::string path;
    std::int64_t code;  // 0: the body arrives
  };
  for (const Case& c : std::vector<Case>{{"/at-maximum.ts", 0},
                                         {"/announced.ts", kQMDownloadTransferBodyTooLarge},
                                         {"/chunked.ts", kQMDownloadTransferBodyTooLarge},
                                         {"/gigabyte.ts", kQMDownloadTransferBodyTooLarge},
                                         {"/untyped.ts", kQMDownloadTransferRejectedResponse}}) {
    SCOPED_TRACE(c.path);
    std::vector<ns::Result<ns::Data>> bodies;
    const auto transfer = QMDownloadTransfer::start(
        server.url(c.path), kMaximum, [&](ns::Result<ns::Data> body) { bodies.push_back(body); });
    ASSERT_TRUE(ns::RunLoop::current().runUntil([&] { return !bodies.empty(); }, 20s));
    ns::RunLoop::current().runUntil([] { return false; }, 50ms);
    ASSERT_EQ(bodies.size(), 1u);
    if (c.code == 0) {
      ASSERT_TRUE(bodies[0].ok());
      EXPECT_EQ(bodies[0]->size(), kMaximum);
    } else {
      ASSERT_FALSE(bodies[0].ok());
      EXPECT_EQ(bodies[0].error().domain(), kQMDownloadTransferErrorDomain);
      EXPECT_EQ(bodies[0].error().code(), c.code);
    }
  }
}

}  // namespace

}  // namespace learning
