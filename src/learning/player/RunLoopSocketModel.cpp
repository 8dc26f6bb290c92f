#include "learning/player/RunLoopSocketModel.h"

#include "app/store/ConsoleLog.h"
#include "learning/player/StatisticsLoginReply.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/crypto/Base64.h"
#include "platform/foundation/crypto/Digest.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/alerts/AlertView.h"

namespace learning {

namespace {

constexpr std::string_view kLoginMessage = "cltlgn|ok|ed#";
constexpr std::string_view kRecordAccepted = "insres|success|ed#";
constexpr std::string_view kHeartbeatAnswered = "htbscs|ok|ed#";

struct ServerAddress {
  std::string host = "127.0.0.1";
  std::uint16_t port = RunLoopSocketModel::kDefaultServerPort;
};

ServerAddress& serverAddress() {
  static ServerAddress address;
  return address;
}

}  // namespace

void RunLoopSocketModel::setServerAddress(std::string host, std::uint16_t port) {
  serverAddress() = ServerAddress{std::move(host), port};
}

const std::string& RunLoopSocketModel::serverHost() {
  return serverAddress().host;
}

std::uint16_t RunLoopSocketModel::serverPort() {
  return serverAddress().port;
}

std::shared_ptr<RunLoopSocketModel> RunLoopSocketModel::create() {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<RunLoopSocketModel> model(new RunLoopSocketModel());
  model->connectServer(serverHost(), serverPort(), kLoginTag);
  return model;
}

RunLoopSocketModel::~RunLoopSocketModel() {
  // The loop holds scheduled timers; without this they would outlive the client. The socket closes itself.
  timerStop();
  stopConnectTimer();
}

void RunLoopSocketModel::connectServer(const std::string& host, std::uint16_t port, long tag) {
  QM_DCHECK_MAIN_THREAD();
  if (client_) {
    return;
  }
  client_ = embedded_server::RunLoopSocket::create(
      std::static_pointer_cast<RunLoopSocketModel>(shared_from_this()));
  if (const ns::Status started = client_->connectToHost(host, port); !started) {
    // Dropping the socket lets a later record try again.
    client_.reset();
    showConnectionFailedAlert(host, started.error());
    return;
  }
  awaitedLoginTag_ = tag;
  connectTimer_ =
      scheduledTimer(kConnectTimeout, ns::Timer::Repeats::kNo, &RunLoopSocketModel::giveUpConnecting);
  sendMessage(std::string(kLoginMessage), tag);
}

void RunLoopSocketModel::reConnect() {
  connectServer(serverHost(), serverPort(), kReconnectLoginTag);
}

void RunLoopSocketModel::sendMessage(const std::string& text, long tag) {
  QM_DCHECK_MAIN_THREAD();
  if (client_) {
    client_->writeData(ns::dataFromString(text), -1, tag);
  }
}

void RunLoopSocketModel::sendMessageWithStartTime(std::int32_t startTime, const std::string& url,
                                                  bool isPlaySuccess, const std::string& userId,
                                                  bool isOnline) {
  playString_ = url;
  lastUserId_ = userId;
  PlayRecord record{startTime, url, isPlaySuccess, userId, isOnline};
  if (client_ && loggedIn_) {
    sendRecord(record);
    return;
  }
  heldRecords_.push_back(std::move(record));
  reConnect();
}

void RunLoopSocketModel::sendRecord(const PlayRecord& record) {
  const std::string text = "cltdat|" + std::to_string(record.startTime) + "-#*" + record.url +
                           "-#*1001001-#*" + (record.isPlaySuccess ? "1" : "0") + "-#*" +
                           (record.isOnline ? "9" : "4") + "-#*" + record.userId + "-#*" + distributeId_ +
                           "-#*" + encryptString_ + "|ed#";
  app::consoleLog("appendString = " + text);
  sendMessage(text, kRecordTag);
}

void RunLoopSocketModel::parserReadString(const std::string& text, long tag) {
  const auto reply = StatisticsLoginReply::parse(text);
  if (!reply) {
    app::consoleLog("服务器分配id错误");
    // Without an id no record can be sent on this connection; closing it lets the next record log in
    // afresh instead of waiting here for ever.
    disConnect();
    return;
  }
  distributeId_ = reply->distributeId;
  encryptString_ = sha1(distributeId_ + reply->token);
  loggedIn_ = true;
  if (!heldRecords_.empty()) {
    // Records that waited for the login are newer than the last one sent, so they stand in for sending it
    // again.
    for (const PlayRecord& record : std::exchange(heldRecords_, {})) {
      sendRecord(record);
    }
    return;
  }
  if (tag == kReconnectLoginTag) {
    sendRecord(PlayRecord{0, playString_, false, lastUserId_, true});
  }
}

void RunLoopSocketModel::replayHeartbeat() {
  if (isFirstFire_) {
    sendHeartbeat();
    isFirstFire_ = false;
  } else if (isReceivedHeartbeat_) {
    sendHeartbeat();
    isReceivedHeartbeat_ = false;
  } else {
    disConnect();
    reConnect();
  }
}

void RunLoopSocketModel::sendHeartbeat() {
  sendMessage("clthbk|" + distributeId_ + "|ed#", kHeartbeatTag);
}

void RunLoopSocketModel::startHeartbeat() {
  timerStop();
  timer_ = scheduledTimer(kHeartbeatInterval, ns::Timer::Repeats::kYes, &RunLoopSocketModel::replayHeartbeat);
  isFirstFire_ = true;
}

void RunLoopSocketModel::timerStop() {
  if (timer_) {
    timer_->invalidate();
    timer_.reset();
  }
}

void RunLoopSocketModel::disConnect() {
  QM_DCHECK_MAIN_THREAD();
  if (client_) {
    client_->disconnect();
  }
  timerStop();
}

std::string RunLoopSocketModel::sha1(const std::string& text) {
  return ns::base64Encode(ns::sha1Digest(ns::dataFromString(text)));
}

std::string RunLoopSocketModel::replacePlayString(const std::string& text) {
  std::string replaced = text;
  for (std::size_t i = 0; i + 1 < replaced.size(); ++i) {
    if (replaced[i] == ',') {
      replaced[i] = '.';
    }
  }
  return replaced;
}

void RunLoopSocketModel::onSocketDidConnectToHost(embedded_server::RunLoopSocket&, const std::string&,
                                                  std::uint16_t) {
  stopConnectTimer();
}

void RunLoopSocketModel::onSocketDidReadData(embedded_server::RunLoopSocket& socket, const ns::Data& data,
                                             long tag) {
  if (&socket == client_.get()) {
    // The rest of a reply may come in a later read, with no write of ours in between to queue one.
    socket.readData(-1, tag);
  }
  // One read may bring several replies, or part of one: replies are taken whole from the stream, and each
  // is known by its text rather than by the read that happened to bring it.
  for (const std::string& message : incoming_.append(ns::stringFromData(data))) {
    if (&socket != client_.get()) {
      return;
    }
    handleMessage(message);
  }
}

void RunLoopSocketModel::handleMessage(const std::string& message) {
  if (message == kRecordAccepted) {
    startHeartbeat();
  } else if (message == kHeartbeatAnswered) {
    isReceivedHeartbeat_ = true;
  } else if (awaitedLoginTag_) {
    const long tag = *std::exchange(awaitedLoginTag_, std::nullopt);
    parserReadString(message, tag);
  }
}

void RunLoopSocketModel::onSocketDidWriteDataWithTag(embedded_server::RunLoopSocket& socket, long tag) {
  // The first write starts reading; from then on each read queues the next, so one read is always
  // outstanding and writes need not add more.
  if (&socket == client_.get() && !std::exchange(reading_, true)) {
    socket.readData(-1, tag);
  }
}

void RunLoopSocketModel::onSocketDidDisconnect(embedded_server::RunLoopSocket& socket) {
  if (&socket != client_.get()) {
    return;
  }
  timerStop();
  stopConnectTimer();
  client_.reset();
  loggedIn_ = false;
  reading_ = false;
  awaitedLoginTag_.reset();
  incoming_.clear();
}

void RunLoopSocketModel::stopConnectTimer() {
  if (connectTimer_) {
    connectTimer_->invalidate();
    connectTimer_.reset();
  }
}

std::shared_ptr<ns::Timer> RunLoopSocketModel::scheduledTimer(ns::Duration interval,
                                                              ns::Timer::Repeats repeats,
                                                              void (RunLoopSocketModel::*action)()) {
  std::weak_ptr<RunLoopSocketModel> weak = std::static_pointer_cast<RunLoopSocketModel>(shared_from_this());
  return ns::Timer::scheduled(ns::RunLoop::current(), interval, repeats, [weak, action](ns::Timer&) {
    if (auto self = weak.lock()) {
      (self.get()->*action)();
    }
  });
}

void RunLoopSocketModel::giveUpConnecting() {
  app::consoleLog("Connection to the statistics server timed out");
  connectTimer_.reset();
  disConnect();
}

void RunLoopSocketModel::showConnectionFailedAlert(const std::string& host, const ns::Error& error) {
  std::weak_ptr<uikit::AlertViewDelegate> delegate =
      std::static_pointer_cast<RunLoopSocketModel>(shared_from_this());
  auto alert = std::make_shared<uikit::AlertView>("Connection failed to host " + host,
                                                  std::to_string(error.code()) + error.localizedDescription(),
                                                  std::move(delegate), "OK", std::vector<std::string>{});
  alert->show();
}

}  // namespace learning
