#pragma once

// LoopbackPeer: the far end for socket tests, a TCP server on 127.0.0.1 running on a thread of its own. It
// records what its latest connection receives and sends or closes on request. Each change it records wakes
// the given run loop, so that a test waiting there with runUntil() looks at it at once.
// Thread-safety: every method may be called from any thread.

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/foundation/loop/RunLoop.h"

namespace server_testing {

class LoopbackPeer {
 public:
  explicit LoopbackPeer(ns::RunLoop& notified);
  ~LoopbackPeer();
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  std::uint16_t port() const { return port_; }

  std::size_t acceptedCount();
  // The bytes the latest connection has received so far.
  std::string received();
  // How many send() calls have been written out completely.
  std::size_t sentCount();
  // True once the latest connection has seen the client close.
  bool sawClientClose();

  // Sends `bytes` on the latest connection.
  void send(std::string bytes);
  // Closes the latest connection.
  void closeConnection();

 private:
  struct Connection;

  void acceptNext();
  void readNext(const std::shared_ptr<Connection>& connection);
  void notify();

  ns::RunLoop& notified_;
  boost::asio::io_context io_;
  boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work_;
  boost::asio::ip::tcp::acceptor acceptor_;
  std::uint16_t port_ = 0;

  std::mutex mutex_;
  // Guarded by mutex_
  std::shared_ptr<Connection> latest_;
  std::size_t acceptedCount_ = 0;
  std::size_t sentCount_ = 0;

  std::thread thread_;
};

}  // namespace server_testing
