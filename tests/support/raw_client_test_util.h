#pragma once

// RawClient: a loopback connection driven byte by byte, to play the clients a long-lived server must
// survive: one that says nothing, one that sends garbage, one that vanishes without a word. Every wait is
// bounded by kWaitLimit. Thread-safety: one thread.

#include <gtest/gtest.h>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace server_testing {

class RawClient {
 public:
  static constexpr std::chrono::seconds kWaitLimit{5};

  // Connects to 127.0.0.1:`port`; fails the test when that does not work.
  explicit RawClient(std::uint16_t port) : socket_(io_) {
    boost::system::error_code error;
    socket_.connect({boost::asio::ip::address_v4::loopback(), port}, error);
    EXPECT_FALSE(error) << "cannot connect to port " << port << ": " << error.message();
  }

  // Sends `bytes`, or as many as the server takes before it closes the connection.
  void send(std::string_view bytes) {
    boost::system::error_code ignored;
    boost::asio::write(socket_, boost::asio::buffer(bytes), ignored);
  }

  // Returns the bytes of the next read, or nothing when none arrive within kWaitLimit.
  std::string receive() {
    std::string bytes(4096, '\0');
    std::size_t count = 0;
    readUntil(
        [&](const boost::system::error_code&, std::size_t received) {
          count = received;
          return true;
        },
        bytes);
    bytes.resize(count);
    return bytes;
  }

  // Returns true when the server closes the connection within kWaitLimit; what it sends first is skipped.
  bool closedByServer() {
    std::string bytes(4096, '\0');
    boost::system::error_code result = boost::asio::error::timed_out;
    readUntil(
        [&](const boost::system::error_code& error, std::size_t) {
          result = error;
          return static_cast<bool>(error);
        },
        bytes);
    return result == boost::asio::error::eof || result == boost::asio::error::connection_reset;
  }

  // Closes with a reset instead of the orderly end of the stream, as a client does that crashes.
  void vanish() {
    boost::system::error_code ignored;
    socket_.set_option(boost::asio::socket_base::linger(true, 0), ignored);
    socket_.close(ignored);
  }

 private:
  // Reads into `bytes` until `isDone` says so or kWaitLimit passes.
  void readUntil(const std::function<bool(const boost::system::error_code&, std::size_t)>& isDone,
                 std::string& bytes) {
    std::function<void()> readNext = [&] {
      socket_.async_read_some(boost::asio::buffer(bytes),
                              [&](const boost::system::error_code& error, std::size_t count) {
                                if (!isDone(error, count) && !error) {
                                  readNext();
                                }
                              });
    };
    readNext();
    io_.restart();
    io_.run_for(kWaitLimit);
    if (!io_.stopped()) {
      socket_.cancel();
      io_.restart();
      io_.run();  // lets the cancelled read end, so that it no longer refers to locals
    }
  }

  boost::asio::io_context io_;
  boost::asio::ip::tcp::socket socket_;
};

}  // namespace server_testing
