#pragma once

// RunLoopSocketModel: the play-statistics client. The lesson playback screen creates one when it loads,
// reports each online play with sendMessageWithStartTime(), and calls disConnect() when the learner leaves
// or logs out. The client logs in as soon as it connects, keeps the connection alive with a heartbeat every
// 60 seconds once a record has been accepted, and, when a heartbeat goes unanswered, reconnects and sends
// the last record again with start 0 and success 0.
//
// Messages are UTF-8 text, each ended by "|ed#"; replies are matched whole, however the reads cut them.
// While connected, one read of the socket is always outstanding, so that the rest of a reply cut across
// reads is taken in without waiting for a write.
// Records wait until the client is logged in, so that none goes out without the id and token of the
// login. A record given while the connection is down opens a new one. A connection that is not up within
// kConnectTimeout is given up.
//
// Thread-safety: not thread-safe; every call on the main thread, where its socket and timers run.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "embedded_server/sockets/RunLoopSocket.h"
#include "embedded_server/sockets/RunLoopSocketDelegate.h"
#include "learning/player/StatisticsMessageBuffer.h"
#include "platform/foundation/loop/Timer.h"
#include "platform/foundation/values/Object.h"
#include "platform/uikit/alerts/AlertViewDelegate.h"

namespace learning {

class RunLoopSocketModel : public ns::Object,
                           public embedded_server::RunLoopSocketDelegate,
                           public uikit::AlertViewDelegate {
 public:
  // The tag of each write, and of the read queued after it.
  enum Tag : long { kLoginTag = 0, kRecordTag = 1, kHeartbeatTag = 2, kReconnectLoginTag = 3 };

  static constexpr std::uint16_t kDefaultServerPort = 12345;
  static constexpr std::chrono::seconds kHeartbeatInterval{60};
  static constexpr std::chrono::seconds kConnectTimeout{15};

  // Sets the statistics server's address, a deployment setting that the application reads from its
  // command line; "127.0.0.1" and kDefaultServerPort until then. Clients created later use it.
  static void setServerAddress(std::string host, std::uint16_t port = kDefaultServerPort);
  static const std::string& serverHost();
  static std::uint16_t serverPort();

  // Returns a client that has started connecting to the server, with its login queued (tag 0). The caller
  // owns it; releasing it closes the connection.
  static std::shared_ptr<RunLoopSocketModel> create();
  ~RunLoopSocketModel() override;

  // Connects to `host`:`port` and queues the login with `tag`, unless a connection exists already. When the
  // attempt cannot start, shows an alert titled "Connection failed to host <host>" with the error's code
  // and description and the single button "OK", whose delegate is this client.
  void connectServer(const std::string& host, std::uint16_t port, long tag);
  // Connects to the configured server with tag 3: the login reply then sends the last record again.
  void reConnect();
  // Writes `text` with `tag` and no time-out; nothing without a connection.
  void sendMessage(const std::string& text, long tag);
  // Reports a play: start position in seconds, the lesson's playlist URL, whether the play started, the
  // learner's id, and whether it is online ("9") or offline ("4").
  void sendMessageWithStartTime(std::int32_t startTime, const std::string& url, bool isPlaySuccess,
                                const std::string& userId, bool isOnline);
  // Reads a login reply (StatisticsLoginReply) read with `tag`.
  void parserReadString(const std::string& text, long tag);
  // The heartbeat timer's action.
  void replayHeartbeat();
  void timerStop();
  // Closes the connection and stops the heartbeat.
  void disConnect();

  // Returns the standard Base64 of the SHA-1 digest of `text`'s UTF-8 bytes: 28 characters.
  static std::string sha1(const std::string& text);
  // Returns `text` with every "," before its last character replaced by ".".
  static std::string replacePlayString(const std::string& text);

  const std::string& distributeId() const { return distributeId_; }
  const std::string& encryptString() const { return encryptString_; }
  const std::string& playString() const { return playString_; }
  // The heartbeat timer; nullptr while none runs.
  const std::shared_ptr<ns::Timer>& timer() const { return timer_; }
  bool isReceivedHeartbeat() const { return isReceivedHeartbeat_; }
  bool isFirstFire() const { return isFirstFire_; }
  // The connection; nullptr while there is none.
  const std::shared_ptr<embedded_server::RunLoopSocket>& client() const { return client_; }

  // RunLoopSocketDelegate
  void onSocketDidConnectToHost(embedded_server::RunLoopSocket& socket, const std::string& host,
                                std::uint16_t port) override;
  void onSocketDidReadData(embedded_server::RunLoopSocket& socket, const ns::Data& data, long tag) override;
  void onSocketDidWriteDataWithTag(embedded_server::RunLoopSocket& socket, long tag) override;
  void onSocketDidDisconnect(embedded_server::RunLoopSocket& socket) override;

 private:
  struct PlayRecord {
    std::int32_t startTime;
    std::string url;
    bool isPlaySuccess;
    std::string userId;
    bool isOnline;
  };

  RunLoopSocketModel() = default;

  void handleMessage(const std::string& message);
  void sendRecord(const PlayRecord& record);
  void sendHeartbeat();
  void startHeartbeat();
  void stopConnectTimer();
  std::shared_ptr<ns::Timer> scheduledTimer(ns::Duration interval, ns::Timer::Repeats repeats,
                                            void (RunLoopSocketModel::*action)());
  void giveUpConnecting();
  void showConnectionFailedAlert(const std::string& host, const ns::Error& error);

  std::string distributeId_;
  std::string encryptString_;
  std::shared_ptr<ns::Timer> timer_;
  std::string playString_;
  bool isReceivedHeartbeat_ = false;
  bool isFirstFire_ = false;
  std::shared_ptr<embedded_server::RunLoopSocket> client_;

  // The user id of the last record, which the record sent again after a reconnect carries.
  std::string lastUserId_;
  // The tag of the login whose reply is awaited on the current connection.
  std::optional<long> awaitedLoginTag_;
  bool loggedIn_ = false;
  // A read is queued on the current connection.
  bool reading_ = false;
  std::vector<PlayRecord> heldRecords_;
  StatisticsMessageBuffer incoming_;
  std::shared_ptr<ns::Timer> connectTimer_;
};

}  // namespace learning
