// What a caller does to a running load: cancel it, hold back the body while it has no room, and the idle
// time-out, driven by a manual clock.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/URLConnection.h"
#include "platform/net/URLConnectionTestUtil.h"
#include "support/LoopbackHTTPServer.h"

namespace {

using nettest::RecordingDelegate;
using nettest::requestFor;
using testing::ElementsAre;
using testsupport::LoopbackHTTPServer;
using testsupport::TestResponse;
using namespace std::chrono_literals;

using DataDisposition = ns::URLConnectionDelegate::DataDisposition;

// Runs `test` on a new thread, whose run loop is its own, with a manual clock installed on that loop: it
// leaves the other tests' loops alone.
void onManualClock(const std::function<void(ns::RunLoop& loop, ns::ManualClock& clock)>& test) {
  std::thread([&] {
    ns::RunLoop& loop = ns::RunLoop::current();
    test(loop, loop.installManualClockForTesting());
  }).join();
}

class URLConnectionControlTest : public testing::Test {
 protected:
  URLConnectionControlTest() {
    TestResponse slow = TestResponse::text(200, "0123456789");
    slow.pieceSize = 2;
    slow.pauseBetweenPieces = 20ms;
    server_.route("/slow", slow);
  }

  LoopbackHTTPServer server_;
};

TEST_F(URLConnectionControlTest, CancelBeforeOrRightAfterStartSendsNothingAndCallsNothing) {
  for (const bool cancelFirst : {true, false}) {
    auto delegate = std::make_shared<RecordingDelegate>();
    const auto connection = ns::URLConnection::create(requestFor(server_.url("/slow")), delegate);
    if (cancelFirst) {
      connection->cancel();
    }
    connection->start();
    if (!cancelFirst) {
      connection->cancel();
    }
    nettest::runFor(200ms);

    EXPECT_TRUE(delegate->events.empty()) << cancelFirst;
    EXPECT_EQ(server_.requestCount(), 0u) << cancelFirst;
  }
}

TEST_F(URLConnectionControlTest, CancelInsideACallbackEndsEveryCall) {
  for (const std::string cancelAt : {"response 200", "data"}) {
    auto delegate = std::make_shared<RecordingDelegate>();
    delegate->onEvent = [&](ns::URLConnection& connection, const std::string& event) {
      if (event == cancelAt) {
        connection.cancel();
        connection.cancel();
      }
    };
    const auto connection = nettest::start(requestFor(server_.url("/slow")), delegate);
    ASSERT_TRUE(ns::RunLoop::current().runUntil(
        [&] { return !delegate->events.empty() && delegate->events.back() == cancelAt; }, 10s));

    nettest::runFor(200ms);

    EXPECT_EQ(delegate->events.back(), cancelAt) << "a call came after cancel()";
    EXPECT_FALSE(delegate->ended());
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
    // Room comes back on a later turn, as when a stream drains, or is announced at once, from inside the
    // very call that finds no room.
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
  EXPECT_EQ(delegate->body.size(), body.size());
  EXPECT_TRUE(delegate->body == body) << "bytes lost, repeated or out of order";
}

TEST_F(URLConnectionControlTest, AnIdleLoadTimesOutOnTheLoopsClock) {
  server_.route("/stall", TestResponse::noAnswer());
  onManualClock([&](ns::RunLoop& loop, ns::ManualClock& clock) {
    auto delegate = std::make_shared<RecordingDelegate>();
    ns::URLRequest request = requestFor(server_.url("/stall"));
    request.setTimeoutInterval(30);
    const auto connection = nettest::start(request, delegate);
    ASSERT_TRUE(loop.runUntil([&] { return server_.requestCount() == 1; }, 10s));

    clock.advance(29s);
    EXPECT_FALSE(delegate->ended());
    clock.advance(2s);

    nettest::expectURLError(*delegate, ns::kURLErrorTimedOut, server_.url("/stall"));
    EXPECT_THAT(delegate->events, ElementsAre("fail -1001"));
  });
}

TEST_F(URLConnectionControlTest, TheIdleTimeOutCountsFromTheLastActivity) {
  onManualClock([&](ns::RunLoop&, ns::ManualClock& clock) {
    auto delegate = std::make_shared<RecordingDelegate>();
    // Each piece of the slow body comes 20 s of loop time after the one before: more than the time-out
    // all told, never between two pieces.
    delegate->onEvent = [&](ns::URLConnection&, const std::string& event) {
      if (event == "data") {
        clock.advance(20s);
      }
    };
    ns::URLRequest request = requestFor(server_.url("/slow"));
    request.setTimeoutInterval(30);

    nettest::load(request, delegate);

    EXPECT_TRUE(delegate->finished);
    EXPECT_EQ(delegate->body, "0123456789");
  });
}

TEST_F(URLConnectionControlTest, WaitingForTheReceiverIsNotIdleness) {
  onManualClock([&](ns::RunLoop& loop, ns::ManualClock& clock) {
    auto delegate = std::make_shared<RecordingDelegate>();
    bool full = true;
    bool refused = false;
    delegate->dataPolicy = [&](ns::URLConnection&, const std::uint8_t*, std::size_t) {
      refused = refused || full;
      return full ? DataDisposition::kNoSpace : DataDisposition::kConsumed;
    };
    const auto connection = nettest::start(requestFor(server_.url("/slow")), delegate);
    ASSERT_TRUE(loop.runUntil([&] { return refused; }, 10s));

    clock.advance(300s);
    EXPECT_FALSE(delegate->ended());
    full = false;
    connection->resumeReceiving();

    ASSERT_TRUE(nettest::runUntilEnded(*delegate));
    EXPECT_TRUE(delegate->finished);
    EXPECT_EQ(delegate->body, "0123456789");
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
