// What a caller does to a running load: cancel it, hold back its body, and its idle time-out.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/URLConnection.h"
#include "platform/net/url_connection_test_util.h"
#include "support/scoped_manual_clock.h"

namespace {

using nettest::RecordingDelegate;
using nettest::requestFor;
using testing::ElementsAre;
using testsupport::TestResponse;
using namespace std::chrono_literals;

using DataDisposition = ns::URLConnectionDelegate::DataDisposition;

// Runs `test` on a thread of its own, so the manual clock leaves the other tests' loops alone.
void onManualClock(const std::function<void(ns::RunLoop& loop, ns::ManualClock& clock)>& test) {
  std::thread([&] {
    ns::RunLoop& loop = ns::RunLoop::current();
    testsupport::ScopedManualClock clock(loop);
    test(loop, clock.clock());
  }).join();
}

using URLConnectionControlTest = nettest::LoopbackTest;

// Cancelled before or right after start() nothing is sent; cancelled (twice) inside a callback, the load
// stops there.
TEST_F(URLConnectionControlTest, NoCallComesAfterCancel) {
  for (const std::string cancelAt : {"before start", "after start", "response 200", "data"}) {
    const bool inCallback = cancelAt != "before start" && cancelAt != "after start";
    auto delegate = std::make_shared<RecordingDelegate>();
    bool cancelled = !inCallback;
    delegate->onEvent = [&](ns::URLConnection& connection, const std::string& event) {
      if (event == cancelAt) {
        connection.cancel();
        connection.cancel();
        cancelled = true;
      }
    };
    const auto connection = ns::URLConnection::create(requestFor(server_.url("/slow")), delegate);
    if (cancelAt == "before start") {
      connection->cancel();
    }
    connection->start();
    if (cancelAt == "after start") {
      connection->cancel();
    }
    ASSERT_TRUE(ns::RunLoop::current().runUntil([&] { return cancelled; }, 10s)) << cancelAt;
    const auto seen = std::pair(delegate->events, delegate->body);
    nettest::runFor(200ms);
    EXPECT_EQ(std::pair(delegate->events, delegate->body), seen) << cancelAt << ": a call after cancel()";
    if (!inCallback) {
      EXPECT_TRUE(seen.first.empty()) << cancelAt;
      EXPECT_EQ(server_.requestCount(), 0u) << cancelAt;
    }
  }
}

TEST_F(URLConnectionControlTest, AReceiverWithoutRoomGetsEveryByteInOrder) {
  const std::string body = nettest::patternedBody(512 * 1024);
  TestResponse big = TestResponse::text(200, body, "application/octet-stream");
  big.pieceSize = 16 * 1024;
  server_.route("/big", big);
  auto delegate = std::make_shared<RecordingDelegate>();
  int refusals = 0;
  bool refuseNext = true;
  delegate->dataPolicy = [&](ns::URLConnection& connection, const std::uint8_t*, std::size_t) {
    refuseNext = !refuseNext;
    if (!refuseNext) {
      return DataDisposition::kConsumed;
    }
    // Room comes back on a later turn, or at once from inside the very call that finds no room.
    if (++refusals % 2 == 0) {
      connection.resumeReceiving();
    } else {
      ns::RunLoop::current().post([&connection] { connection.resumeReceiving(); });
    }
    return DataDisposition::kNoSpace;
  };
  nettest::load(requestFor(server_.url("/big")), delegate);
  EXPECT_TRUE(delegate->finished);
  EXPECT_GT(refusals, 3);
  EXPECT_TRUE(delegate->body == body) << "bytes lost, repeated or out of order";
}

// The time-out counts from the last activity: pieces 20 s apart outlast a time-out of 30 s; silence does not.
TEST_F(URLConnectionControlTest, AnIdleLoadTimesOutOnTheLoopsClock) {
  server_.route("/stall", TestResponse::noAnswer());
  onManualClock([&](ns::RunLoop& loop, ns::ManualClock& clock) {
    auto slow = std::make_shared<RecordingDelegate>();
    slow->onEvent = [&](ns::URLConnection&, const std::string& event) {
      if (event == "data") {
        clock.advance(20s);
      }
    };
    ns::URLRequest request = requestFor(server_.url("/slow"));
    request.setTimeoutInterval(30);
    nettest::load(request, slow);
    EXPECT_TRUE(slow->finished);
    EXPECT_EQ(slow->body, "0123456789");

    auto stalled = std::make_shared<RecordingDelegate>();
    request.setURL(ns::URL::fromString(server_.url("/stall")));
    const auto connection = nettest::start(request, stalled);
    ASSERT_TRUE(loop.runUntil([&] { return server_.requestCount() == 2; }, 10s));
    clock.advance(29s);
    EXPECT_FALSE(stalled->ended());
    clock.advance(2s);
    nettest::expectURLError(*stalled, ns::kURLErrorTimedOut, server_.url("/stall"));
    EXPECT_THAT(stalled->events, ElementsAre("fail -1001"));
  });
}

TEST_F(URLConnectionControlTest, AServerTakesFourLoadsAtATimeAndTheRestWaitTheirTurn) {
  onManualClock([&](ns::RunLoop& loop, ns::ManualClock& clock) {
    // Four loads whose receiver has no room hold their server's turns for as long as the test likes.
    bool full = true;
    std::vector<std::shared_ptr<RecordingDelegate>> delegates;
    std::vector<std::shared_ptr<ns::URLConnection>> connections;
    for (std::size_t i = 0; i < ns::URLConnection::kMaximumLoadsPerServer + 2; ++i) {
      auto delegate = std::make_shared<RecordingDelegate>();
      delegate->dataPolicy = [&](ns::URLConnection&, const std::uint8_t*, std::size_t) {
        return full ? DataDisposition::kNoSpace : DataDisposition::kConsumed;
      };
      connections.push_back(nettest::start(requestFor(server_.url("/slow?" + std::to_string(i))), delegate));
      delegates.push_back(std::move(delegate));
    }
    ASSERT_TRUE(loop.runUntil([&] { return server_.requestCount() == 4; }, 10s));
    nettest::runFor(100ms);
    EXPECT_EQ(server_.requestCount(), 4u) << "the fifth and sixth wait for a turn";

    // Waiting is not idleness, and a load cancelled while it waits never reaches the server.
    clock.advance(300s);
    connections[4]->cancel();
    full = false;
    for (std::size_t i = 0; i < 4; ++i) {
      connections[i]->resumeReceiving();
    }
    ASSERT_TRUE(loop.runUntil([&] { return delegates[5]->ended(); }, 20s));
    for (std::size_t i : {0, 1, 2, 3, 5}) {
      EXPECT_TRUE(delegates[i]->finished) << i;
      EXPECT_EQ(delegates[i]->body, "0123456789") << i;
    }
    EXPECT_TRUE(delegates[4]->events.empty());
    EXPECT_EQ(server_.requests().back().target, "/slow?5");
    EXPECT_LE(server_.connectionCount(), 4u);
  });
}

}  // namespace
