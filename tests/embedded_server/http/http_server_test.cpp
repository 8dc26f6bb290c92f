#include <gtest/gtest.h>

#include <boost/asio/ip/host_name.hpp>
#include <boost/asio/ip/tcp.hpp>

#include "embedded_server/http/HTTPServer.h"
#include "embedded_server/logging/recording_logger_test_util.h"
#include "http_test_util.h"

namespace embedded_server {

namespace {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using server_testing::Headers;
using server_testing::RecordingLogger;
using server_testing::TemporaryFolder;
using server_testing::TestHTTPClient;

std::string bytesFrom(std::size_t first, std::size_t count) {
  std::string text;
  for (std::size_t i = first; i < first + count; ++i) {
    text.push_back(static_cast<char>('a' + i % 26));
  }
  return text;
}

// A server on a lesson folder; large.ts spans several chunks of the server's file reads.
class HTTPServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lesson_.write("index.m3u8", "#EXTM3U\n#EXTINF:10,\nsegment0.ts\n");
    lesson_.write("K.bin", "0123456789abcdef");
    lesson_.write("segment0.ts", bytesFrom(0, 100));
    lesson_.write("large.ts", bytesFrom(0, 3 * 1024 * 1024 + 17));
    server_ = std::make_unique<HTTPServer>();
    server_->setType("_http._tcp.");
    server_->setDocumentRoot(lesson_.path().string());
    ASSERT_TRUE(server_->start().ok());
  }

  server_testing::Response get(const std::string& target, const Headers& headers = {}) {
    return TestHTTPClient(server_->listeningPort()).request(http::verb::get, target, headers);
  }

  TemporaryFolder lesson_;
  std::unique_ptr<HTTPServer> server_;
};

TEST_F(HTTPServerTest, ReportsItsStateAndLogsTheStart) {
  RecordingLogger logger;
  HTTPServer server;
  EXPECT_FALSE(server.isRunning());
  EXPECT_EQ(server.listeningPort(), 0);
  server.setType("_http._tcp.");
  ASSERT_TRUE(server.start().ok());
  EXPECT_TRUE(server.isRunning());
  EXPECT_NE(server.listeningPort(), 0);

  ASSERT_FALSE(server.start().ok());
  EXPECT_TRUE(server.isRunning());

  const auto messages = logger.messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].context, kHTTPLogContext);
  EXPECT_TRUE(
      messages[0].text.ends_with(": Started HTTP server on port " + std::to_string(server.listeningPort())))
      << messages[0].text;
  EXPECT_EQ(messages[1].flag, LGLogFlag::kError);
  EXPECT_NE(messages[1].text.find(": Failed to start HTTP Server: Error Domain="), std::string::npos)
      << messages[1].text;
}

TEST_F(HTTPServerTest, ServesWholeFilesToGetAndOnlyTheirHeadToHead) {
  const auto playlist = get("/index.m3u8");
  EXPECT_EQ(playlist.result(), http::status::ok);
  EXPECT_EQ(playlist.body(), "#EXTM3U\n#EXTINF:10,\nsegment0.ts\n");
  EXPECT_EQ(playlist[http::field::content_type], "application/x-mpegURL");
  EXPECT_EQ(playlist[http::field::accept_ranges], "bytes");
  EXPECT_EQ(get("/large.ts").body(), bytesFrom(0, 3 * 1024 * 1024 + 17));

  TestHTTPClient client(server_->listeningPort());
  const auto head = client.request(http::verb::head, "/segment0.ts");
  EXPECT_EQ(head.result(), http::status::ok);
  EXPECT_EQ(head[http::field::content_length], "100");
  EXPECT_TRUE(head.body().empty());
  // Had the server sent a body after the head, this response would be read from it and fail.
  EXPECT_EQ(client.request(http::verb::get, "/K.bin").body(), "0123456789abcdef");
}

TEST_F(HTTPServerTest, AnswersOneRangeWithPartialContentAndRefusesRangesBeyondTheEnd) {
  const auto range = get("/segment0.ts", {{http::field::range, "bytes=10-19"}});
  EXPECT_EQ(range.result(), http::status::partial_content);
  EXPECT_EQ(range[http::field::content_range], "bytes 10-19/100");
  EXPECT_EQ(range.body(), bytesFrom(10, 10));
  EXPECT_EQ(get("/large.ts", {{http::field::range, "bytes=-5"}}).body(), bytesFrom(3 * 1024 * 1024 + 12, 5));

  const auto beyond = get("/segment0.ts", {{http::field::range, "bytes=100-200"}});
  EXPECT_EQ(beyond.result(), http::status::range_not_satisfiable);
  EXPECT_EQ(beyond[http::field::content_range], "bytes */100");
}

TEST_F(HTTPServerTest, AnswersSeveralRangesAsMultipartByteranges) {
  const auto response = get("/segment0.ts", {{http::field::range, "bytes=0-4,95-"}});
  EXPECT_EQ(response.result(), http::status::partial_content);
  const std::string type(response[http::field::content_type]);
  const std::string prefix = "multipart/byteranges; boundary=";
  ASSERT_TRUE(type.starts_with(prefix)) << type;
  const std::string boundary = type.substr(prefix.size());
  EXPECT_EQ(response.body(), "--" + boundary +
                                 "\r\nContent-Type: video/mp2t\r\nContent-Range: bytes 0-4/100\r\n\r\n" +
                                 bytesFrom(0, 5) + "\r\n--" + boundary +
                                 "\r\nContent-Type: video/mp2t\r\nContent-Range: bytes 95-99/100\r\n\r\n" +
                                 bytesFrom(95, 5) + "\r\n--" + boundary + "--\r\n");
}

TEST_F(HTTPServerTest, ServesAFoldersIndexAndAnswers404ToEverythingElse) {
  lesson_.write("index.html", "<html></html>");
  EXPECT_EQ(get("/").body(), "<html></html>");
  EXPECT_EQ(get("/missing.ts").result(), http::status::not_found);
  TestHTTPClient client(server_->listeningPort());
  EXPECT_EQ(client.request(http::verb::post, "/index.m3u8").result(), http::status::not_found);
}

TEST_F(HTTPServerTest, NeverServesAPathOutsideTheDocumentRoot) {
  TemporaryFolder outside;
  outside.write("secret.txt", "secret");
  std::filesystem::create_symlink(outside.path() / "secret.txt", lesson_.path() / "leak.ts");
  const std::string up = std::filesystem::relative(outside.path(), lesson_.path()).string();
  for (const std::string& target :
       {"/" + up + "/secret.txt", "/%2e%2e/" + outside.path().filename().string() + "/secret.txt",
        std::string("/leak.ts")}) {
    TestHTTPClient client(server_->listeningPort());
    EXPECT_EQ(client.exchange("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").result(),
              http::status::not_found)
        << target;
  }
}

TEST_F(HTTPServerTest, KeepsAConnectionAliveWithTheRootItWasAcceptedWith) {
  TemporaryFolder otherLesson;
  otherLesson.write("index.m3u8", "other");
  TestHTTPClient early(server_->listeningPort());
  EXPECT_EQ(early.request(http::verb::get, "/index.m3u8").result(), http::status::ok);

  server_->setDocumentRoot(otherLesson.path().string());
  EXPECT_EQ(early.request(http::verb::get, "/index.m3u8").body(), "#EXTM3U\n#EXTINF:10,\nsegment0.ts\n");
  EXPECT_EQ(get("/index.m3u8").body(), "other");
}

TEST_F(HTTPServerTest, ARootIsInForceForTheFirstRequestRightAfterItIsSet) {
  // Started, given a root and asked at once, many times over: the first connection never meets an empty
  // root.
  for (int run = 0; run < 100; ++run) {
    HTTPServer server;
    ASSERT_TRUE(server.start().ok());
    // The port is read first, as the lesson server hands out its URL: reading it waits on the server's
    // queue, which would let a queued root take effect.
    const std::uint16_t port = server.listeningPort();
    server.setDocumentRoot(lesson_.path().string());
    ASSERT_EQ(TestHTTPClient(port).request(http::verb::get, "/index.m3u8").result(), http::status::ok)
        << "run " << run;
  }
}

TEST_F(HTTPServerTest, ClosesTheConnectionWhenTheClientAsksToAndStopsWhenReleased) {
  const std::uint16_t port = server_->listeningPort();
  TestHTTPClient closing(port);
  EXPECT_EQ(closing.request(http::verb::get, "/K.bin", {{http::field::connection, "close"}}).result(),
            http::status::ok);
  EXPECT_TRUE(closing.closedByServer());

  TestHTTPClient open(port);
  EXPECT_EQ(open.request(http::verb::get, "/K.bin").result(), http::status::ok);
  server_.reset();
  EXPECT_TRUE(open.closedByServer());
  EXPECT_FALSE(TestHTTPClient(port).connected());
}

TEST_F(HTTPServerTest, ListensOn127001Only) {
  // A server listening on every interface would answer on 127.0.0.2 and on the machine's other addresses.
  asio::io_context io;
  boost::system::error_code error;
  std::vector<asio::ip::address> probes = {asio::ip::make_address("127.0.0.2")};
  for (const auto& entry :
       asio::ip::tcp::resolver(io).resolve(asio::ip::tcp::v4(), asio::ip::host_name(), "", error)) {
    if (!entry.endpoint().address().is_loopback()) {
      probes.push_back(entry.endpoint().address());
    }
  }
  for (const auto& address : probes) {
    asio::ip::tcp::socket socket(io);
    socket.connect({address, server_->listeningPort()}, error);
    EXPECT_EQ(error, asio::error::connection_refused) << address.to_string();
  }
}

}  // namespace

}  // namespace embedded_server
