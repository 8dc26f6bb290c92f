#include "http_test_util.h"

#include <boost/asio/write.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <fstream>
#include <random>
#include <sstream>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace fs = std::filesystem;

namespace server_testing {

TemporaryFolder::TemporaryFolder() {
  std::random_device random;
  path_ = fs::temp_directory_path() /
          ("quillmark-server-test-" + std::to_string(random()) + std::to_string(random()));
  fs::create_directories(path_);
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

fs::path TemporaryFolder::write(const std::string& relativePath, const std::string& contents) const {
  const fs::path file = path_ / relativePath;
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << contents;
  return file;
}

TestHTTPClient::TestHTTPClient(std::uint16_t port) : stream_(io_) {
  const asio::ip::tcp::endpoint server(asio::ip::address_v4::loopback(), port);
  connected_ = !complete([&](auto handler) { stream_.async_connect(server, handler); });
}

std::optional<Response> TestHTTPClient::request(http::verb method, const std::string& target,
                                                const Headers& headers) {
  http::request<http::empty_body> request(method, target, 11);
  request.set(http::field::host, "127.0.0.1");
  for (const auto& [field, value] : headers) {
    request.set(field, value);
  }
  std::ostringstream text;
  text << request;
  return exchange(text.str(), method == http::verb::head);
}

std::optional<Response> TestHTTPClient::rawRequest(const std::string& text) {
  return exchange(text, false);
}

std::optional<Response> TestHTTPClient::exchange(const std::string& text, bool toHeadRequest) {
  if (complete([&](auto handler) { asio::async_write(stream_, asio::buffer(text), handler); })) {
    return std::nullopt;
  }
  http::response_parser<http::string_body> parser;
  parser.body_limit(64 * 1024 * 1024);
  parser.skip(toHeadRequest);
  if (complete([&](auto handler) { http::async_read(stream_, buffer_, parser, handler); })) {
    return std::nullopt;
  }
  return parser.release();
}

bool TestHTTPClient::closedByServer() {
  char byte;
  const beast::error_code error =
      complete([&](auto handler) { stream_.async_read_some(asio::buffer(&byte, 1), handler); });
  return error == asio::error::eof || error == asio::error::connection_reset;
}

template <typename Start>
beast::error_code TestHTTPClient::complete(Start start) {
  bool done = false;
  beast::error_code result;
  start([&](const beast::error_code& error, auto&&...) {
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
    return asio::error::timed_out;
  }
  return result;
}

}  // namespace server_testing
