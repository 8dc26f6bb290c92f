#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "embedded_server/sockets/RunLoopSocket.h"
#include "embedded_server/sockets/RunLoopSocketException.h"
#include "loopback_peer_test_util.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/NetworkLink.h"
#include "support/scoped_manual_clock.h"

namespace embedded_server {

namespace {

using server_testing::LoopbackPeer;
constexpr std::chrono::seconds kDeadline{5};

// Records every callback as a line of text, and runs an optional action after each.
class RecordingDelegate : public RunLoopSocketDelegate {
 public:
  void onSocketDidConnectToHost(RunLoopSocket&, const std::string& host, std::uint16_t port) override {
    record("connected " + host + ":" + std::to_string(port));
  }
  void onSocketDidReadData(RunLoopSocket&, const ns::Data& data, long tag) override {
    record("read " + std::to_string(tag) + " " + ns::stringFromData(data));
  }
  void onSocketDidWriteDataWithTag(RunLoopSocket&, long tag) override {
    record("wrote " + std::to_string(tag));
  }
  void onSocketDidDisconnect(RunLoopSocket&) override { record("disconnected"); }

  std::vector<std::string> events;
  std::function<void(const std::string&)> afterEvent;

 private:
  void record(const std::string& event) {
    events.push_back(event);
    if (afterEvent) {
      afterEvent(event);
    }
  }
};

class RunLoopSocketTest : public ::testing::Test {
 protected:
  bool runUntil(const std::function<bool()>& done) { return loop_.runUntil(done, kDeadline); }
  bool runUntilEvent(const std::string& event) {
    return runUntil([&] { return std::find(events().begin(), events().end(), event) != events().end(); });
  }
  std::vector<std::string>& events() { return delegate_->events; }
  std::string connectedEvent() const { return "connected 127.0.0.1:" + std::to_string(peer_.port()); }

  // Connects and waits until both ends know it.
  void connect() {
    const std::size_t accepted = peer_.acceptedCount();
    ASSERT_TRUE(socket_->connectToHost("127.0.0.1", peer_.port()).ok());
    ASSERT_TRUE(runUntilEvent(connectedEvent()));
    ASSERT_TRUE(runUntil([&] { return peer_.acceptedCount() == accepted + 1; }));
  }

  ns::RunLoop& loop_ = ns::RunLoop::main();
  LoopbackPeer peer_{loop_};
  std::shared_ptr<RecordingDelegate> delegate_ = std::make_shared<RecordingDelegate>();
  std::shared_ptr<RunLoopSocket> socket_ = RunLoopSocket::create(delegate_);
};

TEST_F(RunLoopSocketTest, RefusesToConnectWithoutADelegateOrTwice) {
  const auto refusal = [&](RunLoopSocket& socket) -> std::string {
    try {
      (void)socket.connectToHost("127.0.0.1", peer_.port());
    } catch (const RunLoopSocketException& exception) {
      return exception.reason();
    }
    return "";
  };
  // The socket holds its delegate weakly: this one is gone before the call.
  auto orphan = RunLoopSocket::create(std::make_shared<RecordingDelegate>());
  EXPECT_EQ(refusal(*orphan), "Attempting to connect without a delegate. Set a delegate first.");
  ASSERT_TRUE(socket_->connectToHost("127.0.0.1", peer_.port()).ok());
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(refusal(*socket_),
              "Attempting to connect while connected or accepting connections. Disconnect first.");
    ASSERT_TRUE(runUntilEvent(connectedEvent()));
  }
}

TEST_F(RunLoopSocketTest, WritesQueuedWhileConnectingGoOutInOrderOnceConnected) {
  ASSERT_TRUE(socket_->connectToHost("127.0.0.1", peer_.port()).ok());
  socket_->writeData(ns::dataFromString("first|"), -1, 1);
  socket_->writeData({}, -1, 9);
  socket_->writeData(ns::dataFromString(std::string(1 << 20, 'x')), -1, 2);
  socket_->writeData(ns::dataFromString("|last"), -1, 3);
  EXPECT_TRUE(events().empty()) << "no callback inside the calls";
  ASSERT_TRUE(runUntilEvent("wrote 3"));
  EXPECT_EQ(events(), (std::vector<std::string>{connectedEvent(), "wrote 1", "wrote 2", "wrote 3"}));
  ASSERT_TRUE(runUntil([&] { return peer_.received().size() == 6 + (1 << 20) + 5; }));
  EXPECT_EQ(peer_.received(), "first|" + std::string(1 << 20, 'x') + "|last");
}

TEST_F(RunLoopSocketTest, ReadsTakeWhatArrivesNextInTheOrderQueuedUntilThePeerCloses) {
  connect();
  socket_->readData(-1, 7);
  socket_->readData(-1, 8);
  peer_.send("hello");
  ASSERT_TRUE(runUntilEvent("read 7 hello"));
  peer_.send("world");
  ASSERT_TRUE(runUntilEvent("read 8 world"));

  // Bytes that came before any read wait for the next one, which gets them on a later turn.
  peer_.send("early");
  ASSERT_TRUE(runUntil([&] { return peer_.sentCount() == 3; }));
  loop_.runPending();
  socket_->readData(-1, 9);
  EXPECT_EQ(events().back(), "read 8 world");
  ASSERT_TRUE(runUntilEvent("read 9 early"));
  peer_.closeConnection();
  ASSERT_TRUE(runUntilEvent("disconnected"));
  EXPECT_EQ(events(), (std::vector<std::string>{connectedEvent(), "read 7 hello", "read 8 world",
                                                "read 9 early", "disconnected"}));
}

TEST_F(RunLoopSocketTest, DisconnectCallsBackBeforeReturningAndDropsWhatWasQueued) {
  socket_->disconnect();
  EXPECT_TRUE(events().empty()) << "a socket never connected reports nothing";

  connect();
  socket_->readData(-1, 1);
  socket_->disconnect();
  EXPECT_EQ(events().back(), "disconnected");
  socket_->writeData(ns::dataFromString("ignored"), -1, 2);
  socket_->disconnect();
  peer_.send("too late");
  ASSERT_TRUE(runUntil([&] { return peer_.sawClientClose(); }));
  loop_.runPending();
  EXPECT_EQ(events(), (std::vector<std::string>{connectedEvent(), "disconnected"}));
  EXPECT_EQ(peer_.received(), "");

  // The socket can connect again afterwards.
  connect();
  EXPECT_EQ(peer_.acceptedCount(), 2u);
}

TEST_F(RunLoopSocketTest, AFailedConnectionClosesTheSocket) {
  const std::uint16_t closedPort = [] {
    LoopbackPeer gone(ns::RunLoop::main());
    return gone.port();
  }();
  ASSERT_TRUE(socket_->connectToHost("127.0.0.1", closedPort).ok());
  ASSERT_TRUE(runUntilEvent("disconnected"));
  EXPECT_EQ(events(), std::vector<std::string>{"disconnected"});

  const auto unknownHost = socket_->connectToHost("", peer_.port());
  EXPECT_FALSE(unknownHost.ok());
  EXPECT_EQ(events(), std::vector<std::string>{"disconnected"});
}

TEST_F(RunLoopSocketTest, ATimeOutClosesTheSocketOnTheLoopsClock) {
  testsupport::ScopedManualClock clock(loop_);
  connect();
  socket_->readData(10, 1);
  clock.advance(std::chrono::seconds(9));
  EXPECT_EQ(events().back(), connectedEvent());
  clock.advance(std::chrono::seconds(1));
  EXPECT_EQ(events().back(), "disconnected");
}

TEST_F(RunLoopSocketTest, SurvivesItsDelegateDroppingItInsideACallback) {
  delegate_->afterEvent = [&](const std::string& event) {
    if (event.starts_with("read") || event == "disconnected") {
      socket_.reset();
    }
  };
  connect();
  socket_->readData(-1, 1);
  peer_.send("last words");
  ASSERT_TRUE(runUntil([&] { return socket_ == nullptr; }));

  socket_ = RunLoopSocket::create(delegate_);
  connect();
  socket_->disconnect();
  EXPECT_EQ(socket_, nullptr);
  EXPECT_EQ(events().back(), "disconnected");
}

TEST_F(RunLoopSocketTest, CallsNoOneWhenTheDelegateIsGone) {
  connect();
  delegate_.reset();
  socket_->readData(-1, 1);
  peer_.send("unheard");
  ASSERT_TRUE(runUntil([&] { return peer_.sentCount() == 1; }));
  loop_.runPending();
  socket_->disconnect();
  ASSERT_TRUE(runUntil([&] { return peer_.sawClientClose(); }));
}

// With no network an attempt to a server that is not the device's own starts, then fails without reaching
// it; an own server's port is reached; a connection that is up closes when the link goes.
TEST_F(RunLoopSocketTest, TheNetworkLinkDecidesWhetherAConnectionGoesOutAndStaysUp) {
  struct BackToTheMachinesNetwork {
    ~BackToTheMachinesNetwork() { ns::NetworkLink::simulate(std::nullopt); }
  } restore;
  ns::NetworkLink::simulate(ns::LinkKind::kNone);
  ASSERT_TRUE(socket_->connectToHost("127.0.0.1", peer_.port()).ok());
  ASSERT_TRUE(runUntilEvent("disconnected"));
  EXPECT_EQ(peer_.acceptedCount(), 0u);
  {
    const ns::NetworkLink::OwnServerPort own(peer_.port());
    connect();
    socket_->disconnect();
  }

  ns::NetworkLink::simulate(ns::LinkKind::kWiFi);
  events().clear();
  connect();
  ns::NetworkLink::simulate(ns::LinkKind::kNone);
  ASSERT_TRUE(runUntilEvent("disconnected"));
  EXPECT_TRUE(runUntil([&] { return peer_.sawClientClose(); }));
}

}  // namespace

}  // namespace embedded_server
