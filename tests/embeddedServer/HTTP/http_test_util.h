#pragma once

// Helpers for the web server tests: a lesson folder in a fresh temporary directory, and an HTTP client that
// talks to the server over a real loopback connection, every wait bounded by kDeadline.

#include <boost/asio/io_context.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace server_testing {

inline constexpr std::chrono::seconds kDeadline{5};

// A folder under the system's temporary directory, removed with everything in it at destruction.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `contents` to `relativePath`, creating the folders on the way; returns the file's path.
  std::filesystem::path write(const std::string& relativePath, const std::string& contents) const;

 private:
  std::filesystem::path path_;
};

using Response = boost::beast::http::response<boost::beast::http::string_body>;
using Headers = std::vector<std::pair<boost::beast::http::field, std::string>>;

class TestHTTPClient {
 public:
  // Connects to 127.0.0.1:`port`; connected() tells whether that worked.
  explicit TestHTTPClient(std::uint16_t port);

  bool connected() const { return connected_; }

  // Sends a request and reads its response; nullopt when either failed or took longer than kDeadline.
  std::optional<Response> request(boost::beast::http::verb method, const std::string& target,
                                  const Headers& headers = {});
  // Sends `text` as it is and reads one response (of a request other than HEAD).
  std::optional<Response> rawRequest(const std::string& text);

  // Returns true when the server closes the connection before kDeadline.
  bool closedByServer();

 private:
  // Writes `text` and reads one response, which has no body when `toHeadRequest`.
  std::optional<Response> exchange(const std::string& text, bool toHeadRequest);
  // Starts an operation by handing `start` its completion handler and runs it; returns its error, which is
  // timed_out when it took longer than kDeadline.
  template <typename Start>
  boost::system::error_code complete(Start start);

  boost::asio::io_context io_;
  boost::beast::tcp_stream stream_;
  boost::beast::flat_buffer buffer_;
  bool connected_ = false;
};

}  // namespace server_testing
