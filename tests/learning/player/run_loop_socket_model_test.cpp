#include <gtest/gtest.h>

#include <algorithm>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>
#include <functional>

#include "learning/player/RunLoopSocketModel.h"
#include "learning/player/StatisticsLoginReply.h"
#include "learning/player/StatisticsMessageBuffer.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/alerts/AlertView.h"
#include "sample_backend/statistics/StatisticsServer.h"
#include "support/scoped_manual_clock.h"

namespace learning {

namespace {

using namespace std::chrono_literals;
using Messages = std::vector<std::string>;
constexpr const char* kPlaylist = "http://media.example/class/video/get/m3u8/v2?sign=a,b&time=1";

// The client on the main loop, with a manual clock, against the sample statistics server on loopback.
class RunLoopSocketModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = StatisticsServer::start().value();
    // Wakes the main loop at each step of the server, so that runUntil() looks at the server at once.
    server_->setActivityHandler([] { ns::RunLoop::main().post([] {}); });
    RunLoopSocketModel::setServerAddress("127.0.0.1", server_->port());
  }
  void TearDown() override { RunLoopSocketModel::setServerAddress("127.0.0.1"); }

  bool runUntil(const std::function<bool()>& done) { return loop_.runUntil(done, 5s); }
  void createLoggedInClient() {
    client_ = RunLoopSocketModel::create();
    ASSERT_TRUE(runUntil([&] { return !client_->distributeId().empty(); }));
  }
  // Reports a play and waits until the server has accepted it as sent and the client knows.
  void playAndWaitForAcceptance(std::int32_t start) {
    const std::size_t acceptedBefore = server_->acceptedRecords().size();
    client_->sendMessageWithStartTime(start, kPlaylist, true, "42", true);
    ASSERT_TRUE(runUntil([&] { return server_->acceptedRecords().size() == acceptedBefore + 1; }));
    EXPECT_EQ(server_->acceptedRecords().back(), expectedRecord(start, true));
    ASSERT_TRUE(runUntil([&] { return client_->timer() != nullptr; }));
  }
  std::string expectedRecord(std::int32_t start, bool success) const {
    return "cltdat|" + std::to_string(start) + "-#*" + kPlaylist + "-#*1001001-#*" + (success ? "1" : "0") +
           "-#*9-#*42-#*" + client_->distributeId() + "-#*" + client_->encryptString() + "|ed#";
  }
  std::size_t countReceived(const std::string& message) const {
    const auto received = server_->receivedMessages();
    return std::count(received.begin(), received.end(), message);
  }

  ns::RunLoop& loop_ = ns::RunLoop::main();
  testsupport::ScopedManualClock clock_{loop_};
  std::unique_ptr<StatisticsServer> server_;
  std::shared_ptr<RunLoopSocketModel> client_;
};

TEST(RunLoopSocketModelDigestTest, MakesTheClientTokenAndCleansPlayStrings) {
  EXPECT_EQ(RunLoopSocketModel::sha1("abc"), "qZk+NkcGgWq6PiVxeFDCbJzQ2J0=");
  EXPECT_EQ(RunLoopSocketModel::replacePlayString("a,b,,c,"), "a.b..c,");
  EXPECT_EQ(RunLoopSocketModel::replacePlayString(""), "");
}

// Two records' replies come in one read ("insres|success|ed#insres|success|ed#") and start one heartbeat.
TEST_F(RunLoopSocketModelTest, LogsInRecordsKeepsAliveAndReconnectsWhenAHeartbeatGoesUnanswered) {
  createLoggedInClient();
  EXPECT_EQ(server_->receivedMessages(), std::vector<std::string>{"cltlgn|ok|ed#"});
  server_->holdRepliesForTesting();
  client_->sendMessageWithStartTime(124, kPlaylist, true, "42", true);
  client_->sendMessageWithStartTime(125, kPlaylist, true, "42", true);
  ASSERT_TRUE(runUntil([&] { return server_->acceptedRecords().size() == 2; }));
  EXPECT_EQ(server_->acceptedRecords().back(), expectedRecord(125, true));
  server_->releaseRepliesForTesting();
  ASSERT_TRUE(runUntil([&] { return client_->timer() != nullptr; }));

  // +60 s: the first heartbeat goes out without waiting for an answer, and is answered.
  const std::string heartbeat = "clthbk|" + client_->distributeId() + "|ed#";
  clock_.advance(59s);
  loop_.runPending();
  EXPECT_EQ(countReceived(heartbeat), 0u);
  clock_.advance(1s);
  ASSERT_TRUE(runUntil([&] { return client_->isReceivedHeartbeat(); }));
  EXPECT_EQ(countReceived(heartbeat), 1u);

  // +120 s: answered before, so the second goes out; this one the server leaves unanswered.
  server_->setAnswersHeartbeats(false);
  clock_.advance(60s);
  ASSERT_TRUE(runUntil([&] { return countReceived(heartbeat) == 2; }));
  EXPECT_FALSE(client_->isReceivedHeartbeat());

  // +180 s: unanswered: reconnect, login, the last record again with start 0 and success 0, then heartbeats.
  const std::string firstId = client_->distributeId();
  clock_.advance(60s);
  ASSERT_TRUE(runUntil([&] { return server_->acceptedRecords().size() == 3; }));
  EXPECT_EQ(server_->loginCount(), 2u);
  EXPECT_NE(client_->distributeId(), firstId);
  EXPECT_EQ(server_->acceptedRecords().back(), expectedRecord(0, false));
  ASSERT_TRUE(runUntil([&] { return client_->timer() != nullptr; }));
  EXPECT_EQ(countReceived(heartbeat), 2u) << "the third heartbeat was replaced by the reconnect";
}

TEST_F(RunLoopSocketModelTest, HoldsRecordsUntilLoggedIn) {
  server_->holdRepliesForTesting();
  client_ = RunLoopSocketModel::create();
  ASSERT_TRUE(runUntil([&] { return server_->loginCount() == 1; }));
  client_->sendMessageWithStartTime(30, kPlaylist, true, "42", true);
  loop_.runPending();
  server_->releaseRepliesForTesting();
  ASSERT_TRUE(runUntil([&] { return server_->acceptedRecords().size() == 1; }));
  EXPECT_EQ(server_->acceptedRecords().front(), expectedRecord(30, true));
  EXPECT_EQ(countReceived(expectedRecord(0, false)), 0u);
}

TEST_F(RunLoopSocketModelTest, AMalformedLoginReplyIsAnErrorAndTheNextRecordLogsInAfresh) {
  for (const char* reply : {"garbage|ed#", "nobar,token|ed#", "a|1,b,c|ed#"}) {
    server_->setLoginReplyForTesting(reply);
    client_ = RunLoopSocketModel::create();
    ASSERT_TRUE(runUntil([&] { return client_->client() == nullptr; })) << reply;
    EXPECT_EQ(client_->distributeId(), "") << reply;
  }
  server_->setLoginReplyForTesting("");
  playAndWaitForAcceptance(77);
}

TEST_F(RunLoopSocketModelTest, ReconnectsWhenARecordComesAfterTheServerClosedAndDisconnectStopsEverything) {
  createLoggedInClient();
  playAndWaitForAcceptance(5);
  server_->closeConnectionsForTesting();
  ASSERT_TRUE(runUntil([&] { return client_->client() == nullptr; }));
  EXPECT_EQ(client_->timer(), nullptr);
  playAndWaitForAcceptance(64);
  EXPECT_EQ(server_->loginCount(), 2u);

  client_->disConnect();
  EXPECT_EQ(client_->client(), nullptr);
  EXPECT_EQ(client_->timer(), nullptr);
  clock_.advance(180s);
  loop_.runPending();
  EXPECT_EQ(server_->loginCount(), 2u);
}

// A hanging attempt is given up in time, one that cannot start raises an alert; the next record tries again.
TEST_F(RunLoopSocketModelTest, GivesUpAConnectionThatIsNotUpInTimeOrCannotStartAndTheNextRecordTriesAgain) {
  // A listener whose backlog is full lets the next connection attempt hang.
  boost::asio::io_context io;
  boost::asio::ip::tcp::acceptor silent(io, {boost::asio::ip::address_v4::loopback(), 0});
  silent.listen(0);
  boost::asio::ip::tcp::socket filler(io);
  filler.connect(silent.local_endpoint());
  RunLoopSocketModel::setServerAddress("127.0.0.1", silent.local_endpoint().port());
  client_ = RunLoopSocketModel::create();
  loop_.runPending();
  ASSERT_NE(client_->client(), nullptr);
  clock_.advance(RunLoopSocketModel::kConnectTimeout);
  EXPECT_EQ(client_->client(), nullptr);

  uikit::AlertView::removeAllForTesting();
  RunLoopSocketModel::setServerAddress("");
  client_ = RunLoopSocketModel::create();
  EXPECT_EQ(client_->client(), nullptr);
  const auto alerts = uikit::AlertView::visibleAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0]->title(), "Connection failed to host ");
  EXPECT_EQ(alerts[0]->message(), "1Host not found (authoritative)");
  EXPECT_EQ(alerts[0]->numberOfButtons(), 1);
  EXPECT_EQ(alerts[0]->buttonTitleAtIndex(0), "OK");
  EXPECT_EQ(alerts[0]->delegate().lock(), client_);
  uikit::AlertView::removeAllForTesting();
  RunLoopSocketModel::setServerAddress("127.0.0.1", server_->port());
  playAndWaitForAcceptance(9);
}

// A statistics server played by the test itself on loopback, so that it can cut its replies as it likes.
class CuttingStatisticsPeer {
 public:
  CuttingStatisticsPeer() : acceptor_(io_, {boost::asio::ip::address_v4::loopback(), 0}), peer_(io_) {
    acceptor_.non_blocking(true);
  }
  std::uint16_t port() const { return acceptor_.local_endpoint().port(); }

  // Runs the client's loop until it has connected and sent `message`.
  bool receive(ns::RunLoop& loop, const std::string& message) {
    return loop.runUntil(
        [&] {
          boost::system::error_code error;
          if (!peer_.is_open() && !acceptor_.accept(peer_, error)) {
            peer_.non_blocking(true);
            // Each piece leaves at once, not held back until the last one is acknowledged.
            peer_.set_option(boost::asio::ip::tcp::no_delay(true));
          }
          char bytes[256];
          if (peer_.is_open()) {
            received_.append(bytes, peer_.read_some(boost::asio::buffer(bytes), error));
          }
          return received_.find(message) != std::string::npos;
        },
        5s);
  }
  // Sends `reply` in pieces of `pieceSize` bytes, letting the client's loop take each piece on its own.
  void send(ns::RunLoop& loop, std::string_view reply, std::size_t pieceSize) {
    for (std::size_t at = 0; at < reply.size(); at += pieceSize) {
      boost::asio::write(peer_, boost::asio::buffer(reply.substr(at, pieceSize)));
      loop.runPending();
    }
  }

 private:
  boost::asio::io_context io_;
  boost::asio::ip::tcp::acceptor acceptor_;
  boost::asio::ip::tcp::socket peer_;
  std::string received_;
};

// Every reply completes however the reads cut it, one byte at a time included.
TEST_F(RunLoopSocketModelTest, FramesRepliesThatArriveInPieces) {
  for (const std::size_t pieceSize : {1u, 5u}) {
    CuttingStatisticsPeer peer;
    RunLoopSocketModel::setServerAddress("127.0.0.1", peer.port());
    client_ = RunLoopSocketModel::create();
    ASSERT_TRUE(peer.receive(loop_, "cltlgn|ok|ed#"));
    peer.send(loop_, "lgnres|1001,tok|ed#", pieceSize);
    ASSERT_TRUE(runUntil([&] { return client_->distributeId() == "1001"; })) << pieceSize;

    client_->sendMessageWithStartTime(3, kPlaylist, true, "42", true);
    ASSERT_TRUE(peer.receive(loop_, expectedRecord(3, true)));
    peer.send(loop_, "insres|success|ed#", pieceSize);
    ASSERT_TRUE(runUntil([&] { return client_->timer() != nullptr; })) << pieceSize;

    clock_.advance(RunLoopSocketModel::kHeartbeatInterval);
    ASSERT_TRUE(peer.receive(loop_, "clthbk|1001|ed#"));
    peer.send(loop_, "htbscs|ok|ed#", pieceSize);
    EXPECT_TRUE(runUntil([&] { return client_->isReceivedHeartbeat(); })) << pieceSize;
  }
}

TEST(StatisticsLoginReplyTest, TakesTheIdAfterTheFirstBarAndTheTokenBeforeTheNext) {
  for (const auto& [text, id, token] : {std::tuple{"lgnres|1001|x,9f3c|extra|ed#", "1001", "9f3c"},
                                        std::tuple{"lgnres|7,token", "7", "token"}}) {
    const auto reply = StatisticsLoginReply::parse(text);
    ASSERT_TRUE(reply) << text;
    EXPECT_EQ(reply->distributeId, id);
    EXPECT_EQ(reply->token, token);
  }
}

TEST(StatisticsLoginReplyTest, RefusesRepliesThatDoNotSplitInTwoOrHoldNoId) {
  for (const char* text : {"insres|success|ed#", "a|1,b,c|ed#", "lgnres1001,token|ed#", "", ","}) {
    EXPECT_FALSE(StatisticsLoginReply::parse(text)) << text;
  }
}

TEST(StatisticsMessageBufferTest, CutsReadsIntoWholeMessages) {
  StatisticsMessageBuffer buffer;
  EXPECT_EQ(buffer.append("insres|success|ed#htbscs|ok|ed#"),
            (Messages{"insres|success|ed#", "htbscs|ok|ed#"}));
  EXPECT_EQ(buffer.append("htbscs|o"), Messages{});
  EXPECT_EQ(buffer.append("k|ed#insres|succ"), Messages{"htbscs|ok|ed#"});
  EXPECT_EQ(buffer.append("ess|e"), Messages{});
  EXPECT_EQ(buffer.append("d#"), Messages{"insres|success|ed#"});
  EXPECT_EQ(buffer.append("|ed#"), Messages{"|ed#"});
}

// Cleared, or past its limit without an end mark, the buffer forgets the unfinished message.
TEST(StatisticsMessageBufferTest, ForgetsUnfinishedBytesWhenClearedOrBeyondItsLimit) {
  StatisticsMessageBuffer buffer;
  EXPECT_EQ(buffer.append("lgnres|1001,tok"), Messages{});
  buffer.clear();
  EXPECT_EQ(buffer.append("htbscs|ok|ed#"), Messages{"htbscs|ok|ed#"});
  EXPECT_EQ(buffer.append(std::string(StatisticsMessageBuffer::kMaximumPendingBytes + 1, 'x')), Messages{});
  EXPECT_EQ(buffer.append("htbscs|ok|ed#"), Messages{"htbscs|ok|ed#"});
}

}  // namespace

}  // namespace learning
