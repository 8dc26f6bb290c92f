#include "http_test_util.h"

#include <boost/asio/write.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <fstream>
#include <random>

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
  bool done = false;
  stream_.async_connect(asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), port),
                        [this, &done](const beast::error_code& error) {
                          connected_ = !error;
                          done = true;
                        });
  runUntilDone(done);
}

std::optional<Response> TestHTTPClient::request(http::verb method, const std::string& target,
                                                const Headers& headers) {
  http::request<http::empty_body> request(method, target, 11);
  request.set(http::field::host, "127.0.0.1");
  for (const auto& [field, value] : headers) {
    request.set(field, value);
  }
  bool done = false;
  bool written = false;
  http::async_write(stream_, request, [&](const beast::error_code& error, std::size_t) {
    written = !error;
    done = true;
  });
  if (!runUntilDone(done) || !written) {
    return std::nullopt;
  }
  return readResponse(method == http::verb::head);
}

std::optional<Response> TestHTTPClient::rawRequest(const std::string& text) {
  bool done = false;
  bool written = false;
  asio::async_write(stream_, asio::buffer(text), [&](const beast::error_code& error, std::size_t) {
    written = !error;
    done = true;
  });
  if (!runUntilDone(done) || !written) {
    return std::nullopt;
  }
  return readResponse(false);
}

std::optional<Response> TestHTTPClient::readResponse(bool toHeadRequest) {
  http::response_parser<http::string_body> parser;
  parser.body_limit(64 * 1024 * 1024);
  parser.skip(toHeadRequest);
  bool done = false;
  bool read = false;
  http::async_read(stream_, buffer_, parser, [&](const beast::error_code& error, std::size_t) {
    read = !error;
    done = true;
  });
  if (!runUntilDone(done) || !read) {
    return std::nullopt;
  }
  return parser.release();
}

bool TestHTTPClient::closedByServer() {
  bool done = false;
  bool closed = false;
  char byte;
  stream_.async_read_some(asio::buffer(&byte, 1), [&](const beast::error_code& error, std::size_t) {
    closed = error == asio::error::eof || error == asio::error::connection_reset;
    done = true;
  });
  return runUntilDone(done) && closed;
}

bool TestHTTPClient::runUntilDone(const bool& done) {
  io_.restart();
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  while (!done && std::chrono::steady_clock::now() < deadline) {
    io_.run_one_until(deadline);
  }
  if (!done) {
    stream_.cancel();
    io_.restart();
    io_.run_for(kDeadline);  // lets the cancelled operation finish, so that it no longer refers to locals
  }
  return done;
}

}  // namespace server_testing
