#pragma once

// LoopbackPeer: the far end for socket tests, a TCP listener on 127.0.0.1 served by the given run loop, so
// that a test waiting there with runUntil() sees every change at once. It records what its latest
// connection receives, and sends or closes on request. REQUIRES: used on the loop's thread.

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/foundation/loop/RunLoop.h"

namespace embedded_server {

namespace server_testing {

class LoopbackPeer {
 public:
  explicit LoopbackPeer(ns::RunLoop& loop) : loop_(loop) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_EQ(::listen(listener_, 8), 0);
    EXPECT_EQ(::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length), 0);
    port_ = ntohs(address.sin_port);
    listening_ = loop_.addSource(listener_, ns::IoEvents::kRead, [this](ns::IoEvents) { accept(); });
  }
  ~LoopbackPeer() {
    closeConnection();
    listening_.reset();
    ::close(listener_);
  }
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  std::uint16_t port() const { return port_; }
  std::size_t acceptedCount() const { return acceptedCount_; }
  // The bytes the latest connection has received so far.
  const std::string& received() const { return received_; }
  // How many send() calls have been written out completely.
  std::size_t sentCount() const { return sentCount_; }
  // True once the latest connection has seen the client close.
  bool sawClientClose() const { return sawClientClose_; }

  // Sends `bytes` on the latest connection.
  void send(const std::string& bytes) {
    if (::send(connection_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size())) {
      ++sentCount_;
    }
  }
  // Closes the latest connection.
  void closeConnection() {
    reading_.reset();
    if (connection_ >= 0) {
      ::close(connection_);
    }
    connection_ = -1;
  }

 private:
  void accept() {
    const int accepted = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (accepted < 0) {
      return;
    }
    closeConnection();
    connection_ = accepted;
    ++acceptedCount_;
    received_.clear();
    sawClientClose_ = false;
    reading_ = loop_.addSource(connection_, ns::IoEvents::kRead, [this](ns::IoEvents) { read(); });
  }

  void read() {
    char buffer[4096];
    ssize_t count;
    while ((count = ::recv(connection_, buffer, sizeof buffer, 0)) > 0) {
      received_.append(buffer, static_cast<std::size_t>(count));
    }
    if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
      sawClientClose_ = true;
      reading_.reset();
    }
  }

  ns::RunLoop& loop_;
  const int listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  std::uint16_t port_ = 0;
  std::unique_ptr<ns::FileDescriptorSource> listening_;
  int connection_ = -1;
  std::unique_ptr<ns::FileDescriptorSource> reading_;
  std::size_t acceptedCount_ = 0;
  std::size_t sentCount_ = 0;
  std::string received_;
  bool sawClientClose_ = false;
};

}  // namespace server_testing

}  // namespace embedded_server
