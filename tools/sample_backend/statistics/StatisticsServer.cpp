#include "sample_backend/statistics/StatisticsServer.h"

#include <array>
#include <atomic>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <deque>
#include <thread>

#include "embedded_server/sockets/AcceptLoop.h"
#include "embedded_server/sockets/SocketError.h"
#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/crypto/Base64.h"
#include "platform/foundation/crypto/Digest.h"
#include "platform/foundation/crypto/Hex.h"
#include "platform/foundation/crypto/Random.h"
#include "sample_backend/LoopbackListening.h"

namespace asio = boost::asio;
using asio::ip::tcp;

namespace {

constexpr std::string_view kEndMark = "|ed#";
constexpr std::string_view kRecordSeparator = "-#*";
// The longest text taken without an end mark; the client's messages are a few hundred bytes.
constexpr std::size_t kMessageLimit = 64 * 1024;

std::vector<std::string> split(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  for (std::size_t start = 0;;) {
    const auto end = text.find(separator, start);
    parts.emplace_back(text.substr(start, end - start));
    if (end == std::string_view::npos) {
      return parts;
    }
    start = end + separator.size();
  }
}

std::string clientToken(const std::string& id, const std::string& token) {
  return ns::base64Encode(ns::sha1Digest(ns::dataFromString(id + token)));
}

}  // namespace

class StatisticsServer::Impl {
 public:
  struct Connection {
    explicit Connection(tcp::socket s) : socket(std::move(s)), idle(socket.get_executor()) {}
    tcp::socket socket;
    asio::steady_timer idle;
    std::array<char, 4096> buffer;
    std::string pending;
    std::string id;
    std::string token;
    std::string heldReplies;
    std::deque<std::string> outbox;
  };

  Impl()
      : work_(io_.get_executor()),
        acceptor_(io_),
        acceptLoop_(acceptor_, [this](tcp::socket socket) { serve(std::move(socket)); }) {}
  ~Impl() {
    io_.stop();
    if (thread_.joinable()) {
      thread_.join();
    }
  }

  ns::Status listen(std::uint16_t port) {
    const boost::system::error_code error = sample_backend::listenOnLoopback(acceptor_, port);
    if (error) {
      return embedded_server::socketError(error);
    }
    port_ = acceptor_.local_endpoint().port();
    acceptLoop_.start();
    thread_ = std::thread([this] { io_.run(); });
    return {};
  }

  std::uint16_t port() const { return port_; }

  void onIoThread(std::function<void()> task) { asio::post(io_, std::move(task)); }

  void holdReplies(bool hold) {
    onIoThread([this, hold] {
      holding_ = hold;
      if (hold) {
        return;
      }
      for (const auto& connection : connections_) {
        if (!connection->heldReplies.empty()) {
          send(connection, std::exchange(connection->heldReplies, {}));
        }
      }
    });
  }

  void closeConnections() {
    onIoThread([this] {
      for (const auto& connection : connections_) {
        boost::system::error_code ignored;
        connection->socket.close(ignored);
      }
      connections_.clear();
      notifyActivity();
    });
  }

  void setIdleTimeout(std::chrono::milliseconds timeout) { idleTimeout_ = timeout; }

  mutable ns::Mutex mutex_;
  std::vector<std::string> received_ QM_GUARDED_BY(mutex_);
  std::vector<std::string> accepted_ QM_GUARDED_BY(mutex_);
  std::size_t logins_ QM_GUARDED_BY(mutex_) = 0;
  bool answersHeartbeats_ QM_GUARDED_BY(mutex_) = true;
  std::string loginReply_ QM_GUARDED_BY(mutex_);
  std::function<void()> activityHandler_ QM_GUARDED_BY(mutex_);

 private:
  void serve(tcp::socket socket) {
    auto connection = std::make_shared<Connection>(std::move(socket));
    connections_.push_back(connection);
    readNext(connection);
    notifyActivity();
  }

  void readNext(const std::shared_ptr<Connection>& connection) {
    // A client that sends nothing for idleTimeout_ (three missed heartbeats, by default) is closed; the read
    // then fails and forgets the connection.
    connection->idle.expires_after(idleTimeout_.load());
    connection->idle.async_wait([weak = std::weak_ptr(connection)](const boost::system::error_code& error) {
      if (auto connection = weak.lock(); connection && !error) {
        boost::system::error_code ignored;
        connection->socket.close(ignored);
      }
    });
    connection->socket.async_read_some(
        asio::buffer(connection->buffer),
        [this, connection](const boost::system::error_code& error, std::size_t count) {
          connection->idle.cancel();
          if (error || connection->pending.size() + count > kMessageLimit) {
            // A text that runs past kMessageLimit with no end mark is no message of the protocol, and
            // keeping it would let one client take all the memory.
            boost::system::error_code ignored;
            connection->socket.close(ignored);
            std::erase(connections_, connection);
            notifyActivity();
            return;
          }
          connection->pending.append(connection->buffer.data(), count);
          for (auto mark = connection->pending.find(kEndMark); mark != std::string::npos;
               mark = connection->pending.find(kEndMark)) {
            const std::string message = connection->pending.substr(0, mark + kEndMark.size());
            connection->pending.erase(0, mark + kEndMark.size());
            handle(connection, message);
          }
          notifyActivity();
          readNext(connection);
        });
  }

  void handle(const std::shared_ptr<Connection>& connection, const std::string& message) {
    ns::MutexLock lock(mutex_);
    received_.push_back(message);
    if (message == "cltlgn|ok|ed#") {
      ++logins_;
      connection->id = std::to_string(1000 + logins_);
      connection->token = ns::hexString(ns::randomBytes(8));
      reply(connection, loginReply_.empty() ? "lgnres|" + connection->id + "," + connection->token + "|ed#"
                                            : loginReply_);
    } else if (message.starts_with("cltdat|")) {
      const auto fields = split(message.substr(7, message.size() - 7 - kEndMark.size()), kRecordSeparator);
      const bool valid = !connection->id.empty() && fields.size() == 8 && fields[2] == "1001001" &&
                         fields[6] == connection->id &&
                         fields[7] == clientToken(connection->id, connection->token);
      if (valid) {
        accepted_.push_back(message);
      }
      reply(connection, valid ? "insres|success|ed#" : "insres|fail|ed#");
    } else if (message.starts_with("clthbk|")) {
      if (answersHeartbeats_ && message == "clthbk|" + connection->id + "|ed#") {
        reply(connection, "htbscs|ok|ed#");
      }
    }
  }

  void reply(const std::shared_ptr<Connection>& connection, std::string text) {
    if (holding_) {
      connection->heldReplies += text;
      return;
    }
    send(connection, std::move(text));
  }

  void send(const std::shared_ptr<Connection>& connection, std::string text) {
    connection->outbox.push_back(std::move(text));
    if (connection->outbox.size() == 1) {
      writeNext(connection);
    }
  }

  void writeNext(const std::shared_ptr<Connection>& connection) {
    asio::async_write(connection->socket, asio::buffer(connection->outbox.front()),
                      [this, connection](const boost::system::error_code& error, std::size_t) {
                        connection->outbox.pop_front();
                        if (!error && !connection->outbox.empty()) {
                          writeNext(connection);
                        }
                      });
  }

  void notifyActivity() {
    std::function<void()> handler;
    {
      ns::MutexLock lock(mutex_);
      handler = activityHandler_;
    }
    if (handler) {
      handler();
    }
  }

  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  tcp::acceptor acceptor_;
  embedded_server::AcceptLoop acceptLoop_;
  std::uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<std::chrono::milliseconds> idleTimeout_{kIdleTimeout};

  // Touched only on the server's thread
  std::vector<std::shared_ptr<Connection>> connections_;
  bool holding_ = false;
};

ns::Result<std::unique_ptr<StatisticsServer>> StatisticsServer::start(std::uint16_t port) {
  auto impl = std::make_unique<Impl>();
  if (auto status = impl->listen(port); !status) {
    return status.error();
  }
  return std::unique_ptr<StatisticsServer>(new StatisticsServer(std::move(impl)));
}

StatisticsServer::StatisticsServer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

StatisticsServer::~StatisticsServer() = default;

std::uint16_t StatisticsServer::port() const {
  return impl_->port();
}

std::vector<std::string> StatisticsServer::receivedMessages() const {
  ns::MutexLock lock(impl_->mutex_);
  return impl_->received_;
}

std::vector<std::string> StatisticsServer::acceptedRecords() const {
  ns::MutexLock lock(impl_->mutex_);
  return impl_->accepted_;
}

std::size_t StatisticsServer::loginCount() const {
  ns::MutexLock lock(impl_->mutex_);
  return impl_->logins_;
}

void StatisticsServer::setActivityHandler(std::function<void()> handler) {
  ns::MutexLock lock(impl_->mutex_);
  impl_->activityHandler_ = std::move(handler);
}

void StatisticsServer::setAnswersHeartbeats(bool answers) {
  ns::MutexLock lock(impl_->mutex_);
  impl_->answersHeartbeats_ = answers;
}

void StatisticsServer::setLoginReplyForTesting(std::string reply) {
  ns::MutexLock lock(impl_->mutex_);
  impl_->loginReply_ = std::move(reply);
}

void StatisticsServer::holdRepliesForTesting() {
  impl_->holdReplies(true);
}

void StatisticsServer::releaseRepliesForTesting() {
  impl_->holdReplies(false);
}

void StatisticsServer::closeConnectionsForTesting() {
  impl_->closeConnections();
}

void StatisticsServer::setIdleTimeoutForTesting(std::chrono::milliseconds timeout) {
  impl_->setIdleTimeout(timeout);
}
