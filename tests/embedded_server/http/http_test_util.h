#pragma once

// Helpers for the web server tests: a folder in a fresh temporary directory, and an HTTP client that talks
// to the server over a real loopback connection, every wait bounded by kDeadline.

#include <gtest/gtest.h>

#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace embedded_server {

namespace server_testing {

inline constexpr std::chrono::seconds kDeadline{5};

// A folder under the system's temporary directory, removed with everything in it at destruction.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("quillmark-server-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `contents` to `relativePath`, creating the folders on the way.
  void write(const std::string& relativePath, const std::string& contents) const {
    const std::filesystem::path file = path_ / relativePath;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
  }

 private:
  std::filesystem::path path_;
};

using Response = boost::beast::http::response<boost::beast::http::string_body>;
using Headers = std::vector<std::pair<boost::beast::http::field, std::string>>;

class TestHTTPClient {
 public:
  // Connects to 127.0.0.1:`port`; connected() tells whether that worked.
  explicit TestHTTPClient(std::uint16_t port) {
    const boost::asio::ip::tcp::endpoint server(boost::asio::ip::address_v4::loopback(), port);
    connected_ = !complete([&](auto handler) { stream_.async_connect(server, handler); });
  }

  bool connected() const { return connected_; }

  // Sends a request and returns its response; fails the test when either failed or took longer than
  // kDeadline.
  Response request(boost::beast::http::verb method, const std::string& target, const Headers& headers = {}) {
    std::string text(boost::beast::http::to_string(method));
    text += " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    for (const auto& [field, value] : headers) {
      text += std::string(boost::beast::http::to_string(field)) + ": " + value + "\r\n";
    }
    return exchange(text + "\r\n", method == boost::beast::http::verb::head);
  }

  // Sends `text` as it is and returns one response, which has no body when `toHeadRequest`.
  Response exchange(const std::string& text, bool toHeadRequest = false) {
    boost::beast::http::response_parser<boost::beast::http::string_body> parser;
    parser.body_limit(64 * 1024 * 1024);
    parser.skip(toHeadRequest);
    if (complete(
            [&](auto handler) { boost::asio::async_write(stream_, boost::asio::buffer(text), handler); }) ||
        complete([&](auto handler) { boost::beast::http::async_read(stream_, buffer_, parser, handler); })) {
      ADD_FAILURE() << "no response to " << text;
      return {};
    }
    return parser.release();
  }

  // Returns true when the server closes the connection before kDeadline.
  bool closedByServer() {
    char byte;
    const auto error =
        complete([&](auto handler) { stream_.async_read_some(boost::asio::buffer(&byte, 1), handler); });
    return error == boost::asio::error::eof || error == boost::asio::error::connection_reset;
  }

 private:
  // Starts an operation by handing `start` its completion handler and runs it; returns its error, which is
  // timed_out when it took longer than kDeadline.
  template <typename Start>
  boost::system::error_code complete(Start start) {
    bool done = false;
    boost::system::error_code result;
    start([&](const boost::system::error_code& error, auto&&...) {
      result = error;
      done = true;
    });
    io_.restart();
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (!done && std::chrono::steady_clock::now() < deadline) {
      io_.run_one_until(deadline);
    }
    if (!done) {
      stream_.cancel();
      io_.restart();
      io_.run_for(kDeadline);  // lets the cancelled operation finish, so that it no longer refers to locals
      return boost::asio::error::timed_out;
    }
    return result;
  }

  boost::asio::io_context io_;
  boost::beast::tcp_stream stream_{io_};
  boost::beast::flat_buffer buffer_;
  bool connected_ = false;
};

}  // namespace server_testing

}  // namespace embedded_server
