#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/detached.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/redirect_error.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "embedded_server/http/HTTPServer.h"
#include "http_test_util.h"

namespace embedded_server {

namespace {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using asio::ip::tcp;
using server_testing::TemporaryFolder;
using server_testing::TestHTTPClient;

constexpr int kClients = 200;
constexpr std::chrono::seconds kSoakLength{20};
// How long the clients may take to finish what they had started when the soak ends.
constexpr std::chrono::seconds kWindDown{15};
constexpr std::size_t kSmallSize = 64 * 1024;
constexpr std::size_t kMediumSize = 256 * 1024;
constexpr std::size_t kLargeSize = 4 * 1024 * 1024;

std::string bytesFrom(std::size_t first, std::size_t count) {
  std::string text;
  for (std::size_t i = first; i < first + count; ++i) {
    text.push_back(static_cast<char>('a' + i % 26));
  }
  return text;
}

std::size_t openDescriptors() {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                                std::filesystem::directory_iterator()));
}

std::size_t residentKilobytes() {
  std::size_t pages = 0;
  std::size_t resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) / 1024;
}

struct Tally {
  std::atomic<int> served = 0;
  std::atomic<int> hungUp = 0;
  std::atomic<int> failed = 0;
  std::atomic<int> running = 0;
};

// One client of the soak: over and over until `end`, a whole file, a range and a head on one kept-alive
// connection, then a fresh connection that hangs up early and one that reads slowly.
class SoakClient {
 public:
  SoakClient(std::uint16_t port, Tally& tally)
      : server_(asio::ip::address_v4::loopback(), port), tally_(tally) {}

  asio::awaitable<void> run(int index, std::chrono::steady_clock::time_point end) {
    ++tally_.running;
    for (int round = index; std::chrono::steady_clock::now() < end; ++round) {
      bool ok = true;
      switch (round % 5) {
        case 0:
          ok = co_await exchange(http::verb::get, "/small.ts", "", bytesFrom(0, kSmallSize));
          break;
        case 1:
          ok = co_await exchange(http::verb::get, "/medium.ts", "bytes=1000-50999", bytesFrom(1000, 50000));
          break;
        case 2:
          ok = co_await exchange(http::verb::head, "/large.ts", "", "");
          break;
        case 3:
          co_await hangUpEarly();
          ++tally_.hungUp;
          break;
        case 4:
          ok = co_await readSlowly();
          break;
      }
      ++(ok ? tally_.served : tally_.failed);
    }
    --tally_.running;
  }

 private:
  asio::awaitable<bool> exchange(http::verb method, std::string target, std::string range,
                                 std::string expected) {
    boost::system::error_code error;
    auto onError = asio::redirect_error(asio::use_awaitable, error);
    if (!keptAlive_ || !keptAlive_->is_open()) {
      keptAlive_.emplace(co_await asio::this_coro::executor);
      co_await keptAlive_->async_connect(server_, onError);
    }
    std::string request =
        std::string(http::to_string(method)) + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (!range.empty()) {
      request += "Range: " + range + "\r\n";
    }
    request += "\r\n";
    if (!error) {
      co_await asio::async_write(*keptAlive_, asio::buffer(request), onError);
    }
    http::response_parser<http::string_body> parser;
    parser.body_limit(kLargeSize);
    parser.skip(method == http::verb::head);
    if (!error) {
      co_await http::async_read(*keptAlive_, buffer_, parser, onError);
    }
    if (error) {
      keptAlive_.reset();
      buffer_.clear();
      co_return false;
    }
    co_return parser.get().body() == expected;
  }

  asio::awaitable<void> hangUpEarly() {
    boost::system::error_code error;
    auto onError = asio::redirect_error(asio::use_awaitable, error);
    tcp::socket socket(co_await asio::this_coro::executor);
    co_await socket.async_connect(server_, onError);
    co_await asio::async_write(
        socket, asio::buffer(std::string_view("GET /large.ts HTTP/1.1\r\nHost: x\r\n\r\n")), onError);
    char some[512];
    co_await socket.async_read_some(asio::buffer(some), onError);
  }

  asio::awaitable<bool> readSlowly() {
    boost::system::error_code error;
    auto onError = asio::redirect_error(asio::use_awaitable, error);
    tcp::socket socket(co_await asio::this_coro::executor, tcp::v4());
    socket.set_option(asio::socket_base::receive_buffer_size(4096));
    co_await socket.async_connect(server_, onError);
    co_await asio::async_write(
        socket,
        asio::buffer(std::string_view("GET /medium.ts HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")),
        onError);
    asio::steady_timer pause(socket.get_executor());
    std::size_t received = 0;
    char piece[4096];
    while (!error) {
      received += co_await socket.async_read_some(asio::buffer(piece), onError);
      pause.expires_after(std::chrono::milliseconds(2));
      co_await pause.async_wait(asio::use_awaitable);
    }
    co_return error == asio::error::eof&& received > kMediumSize;
  }

  const tcp::endpoint server_;
  Tally& tally_;
  std::optional<tcp::socket> keptAlive_;
  boost::beast::flat_buffer buffer_;
};

TEST(HTTPServerSoakTest, ServesTwoHundredMixedClientsForTwentySecondsAndEndsAsItBegan) {
  TemporaryFolder lesson;
  lesson.write("small.ts", bytesFrom(0, kSmallSize));
  lesson.write("medium.ts", bytesFrom(0, kMediumSize));
  lesson.write("large.ts", bytesFrom(0, kLargeSize));
  HTTPServer server;
  server.setDocumentRoot(lesson.path().string());
  ASSERT_TRUE(server.start().ok());
  const std::uint16_t port = server.listeningPort();
  const std::size_t descriptorsBefore = openDescriptors();
  const std::size_t residentBefore = residentKilobytes();

  Tally tally;
  std::size_t residentHalfway = 0;
  {
    asio::io_context io;
    std::vector<std::unique_ptr<SoakClient>> clients;
    const auto end = std::chrono::steady_clock::now() + kSoakLength;
    for (int i = 0; i < kClients; ++i) {
      clients.push_back(std::make_unique<SoakClient>(port, tally));
      asio::co_spawn(io, clients.back()->run(i, end), asio::detached);
    }
    // Memory grows at first, as the allocators (and the sanitizer's quarantine) fill; a leak shows as growth
    // in the second half.
    asio::steady_timer halfway(io, end - kSoakLength / 2);
    halfway.async_wait([&](const boost::system::error_code&) { residentHalfway = residentKilobytes(); });
    io.run_until(end + kWindDown);
    EXPECT_EQ(tally.running, 0) << "clients still waiting on the server when the soak ended";
  }

  // The server closes its side of the last connections on its own thread.
  const auto deadline = std::chrono::steady_clock::now() + server_testing::kDeadline;
  while (openDescriptors() != descriptorsBefore && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const std::size_t descriptorsAfter = openDescriptors();
  const std::size_t residentAfter = residentKilobytes();
  std::printf(
      "soak: %d requests served, %d hung up early, %d failed; descriptors %zu before, %zu after; "
      "resident memory %zu KiB before, %zu KiB halfway, %zu KiB after\n",
      tally.served.load(), tally.hungUp.load(), tally.failed.load(), descriptorsBefore, descriptorsAfter,
      residentBefore, residentHalfway, residentAfter);

  EXPECT_EQ(tally.failed, 0);
  EXPECT_GT(tally.served, kClients);
  EXPECT_EQ(descriptorsAfter, descriptorsBefore);
  EXPECT_EQ(TestHTTPClient(port).request(http::verb::get, "/small.ts").body(), bytesFrom(0, kSmallSize));
}

}  // namespace

}  // namespace embedded_server
