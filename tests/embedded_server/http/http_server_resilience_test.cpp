#include <gtest/gtest.h>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>

#include "embedded_server/http/HTTPServer.h"
#include "http_test_util.h"

namespace {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using server_testing::TemporaryFolder;
using server_testing::TestHTTPClient;

// Asks for `target` and closes the connection as soon as the first bytes of the reply arrive, with most of
// the body still to come.
void hangUpDuringBody(std::uint16_t port, const std::string& target) {
  asio::io_context io;
  asio::ip::tcp::socket socket(io);
  boost::system::error_code error;
  socket.connect({asio::ip::address_v4::loopback(), port}, error);
  ASSERT_FALSE(error) << error.message();
  asio::write(socket, asio::buffer("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"), error);
  char first[1024];
  socket.read_some(asio::buffer(first), error);
  ASSERT_FALSE(error) << error.message();
}

class HTTPServerResilienceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lesson_.write("segment0.ts", std::string(100, 's'));
    lesson_.write("large.ts", std::string(8 * 1024 * 1024, 'l'));
    server_.setDocumentRoot(lesson_.path().string());
    ASSERT_TRUE(server_.start().ok());
  }

  TemporaryFolder lesson_;
  HTTPServer server_;
};

TEST_F(HTTPServerResilienceTest, AClientHangingUpMidBodyEndsOnlyItsOwnConnection) {
  TestHTTPClient steady(server_.listeningPort());
  for (int i = 0; i < 40; ++i) {
    hangUpDuringBody(server_.listeningPort(), "/large.ts");
    EXPECT_EQ(steady.request(http::verb::get, "/segment0.ts").body(), std::string(100, 's')) << i;
  }
}

}  // namespace
