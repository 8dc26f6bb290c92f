#include "loopback_peer_test_util.h"

#include <array>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>

namespace asio = boost::asio;
using asio::ip::tcp;

namespace server_testing {

struct LoopbackPeer::Connection {
  explicit Connection(tcp::socket s) : socket(std::move(s)) {}
  tcp::socket socket;
  std::array<char, 4096> buffer;
  // Guarded by the peer's mutex_
  std::string received;
  bool sawClientClose = false;
};

LoopbackPeer::LoopbackPeer(ns::RunLoop& notified)
    : notified_(notified), work_(io_.get_executor()), acceptor_(io_) {
  const tcp::endpoint loopback(asio::ip::address_v4::loopback(), 0);
  acceptor_.open(loopback.protocol());
  acceptor_.bind(loopback);
  acceptor_.listen();
  port_ = acceptor_.local_endpoint().port();
  acceptNext();
  thread_ = std::thread([this] { io_.run(); });
}

LoopbackPeer::~LoopbackPeer() {
  io_.stop();
  thread_.join();
}

std::size_t LoopbackPeer::acceptedCount() {
  std::lock_guard lock(mutex_);
  return acceptedCount_;
}

std::string LoopbackPeer::received() {
  std::lock_guard lock(mutex_);
  return latest_ ? latest_->received : std::string();
}

std::size_t LoopbackPeer::sentCount() {
  std::lock_guard lock(mutex_);
  return sentCount_;
}

bool LoopbackPeer::sawClientClose() {
  std::lock_guard lock(mutex_);
  return latest_ && latest_->sawClientClose;
}

void LoopbackPeer::send(std::string bytes) {
  asio::post(io_, [this, bytes = std::make_shared<std::string>(std::move(bytes))] {
    std::lock_guard lock(mutex_);
    if (latest_) {
      asio::async_write(latest_->socket, asio::buffer(*bytes),
                        [this, bytes](const boost::system::error_code&, std::size_t) {
                          {
                            std::lock_guard lock(mutex_);
                            ++sentCount_;
                          }
                          notify();
                        });
    }
  });
}

void LoopbackPeer::closeConnection() {
  asio::post(io_, [this] {
    std::lock_guard lock(mutex_);
    if (latest_) {
      boost::system::error_code ignored;
      latest_->socket.close(ignored);
    }
  });
}

void LoopbackPeer::acceptNext() {
  acceptor_.async_accept([this](const boost::system::error_code& error, tcp::socket socket) {
    if (error) {
      return;
    }
    auto connection = std::make_shared<Connection>(std::move(socket));
    {
      std::lock_guard lock(mutex_);
      latest_ = connection;
      ++acceptedCount_;
    }
    notify();
    readNext(connection);
    acceptNext();
  });
}

void LoopbackPeer::readNext(const std::shared_ptr<Connection>& connection) {
  connection->socket.async_read_some(
      asio::buffer(connection->buffer),
      [this, connection](const boost::system::error_code& error, std::size_t count) {
        {
          std::lock_guard lock(mutex_);
          if (error) {
            connection->sawClientClose = error == asio::error::eof || error == asio::error::connection_reset;
          } else {
            connection->received.append(connection->buffer.data(), count);
          }
        }
        notify();
        if (!error) {
          readNext(connection);
        }
      });
}

void LoopbackPeer::notify() {
  notified_.post([] {});
}

}  // namespace server_testing
