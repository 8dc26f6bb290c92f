#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>
#include <ctime>
#include <filesystem>
#include <thread>
#include <vector>

#include "embedded_server/http/HTTPServer.h"
#include "http_test_util.h"
#include "support/raw_client_test_util.h"

namespace embedded_server {

namespace {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using ::server_testing::RawClient;
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

// Uses up every descriptor the process may open, under a soft limit lowered for the purpose; the destructor
// closes them and restores the limit.
class DescriptorExhaustion {
 public:
  DescriptorExhaustion() {
    getrlimit(RLIMIT_NOFILE, &saved_);
    int highest = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
      highest = std::max(highest, std::stoi(entry.path().filename().string()));
    }
    rlimit lowered = saved_;
    lowered.rlim_cur = static_cast<rlim_t>(highest) + 16;
    setrlimit(RLIMIT_NOFILE, &lowered);
    for (int descriptor; (descriptor = ::open("/dev/null", O_RDONLY)) >= 0;) {
      fillers_.push_back(descriptor);
    }
  }
  ~DescriptorExhaustion() {
    freeAll();
    setrlimit(RLIMIT_NOFILE, &saved_);
  }

  void freeAll() {
    for (const int descriptor : fillers_) {
      ::close(descriptor);
    }
    fillers_.clear();
  }

 private:
  rlimit saved_;
  std::vector<int> fillers_;
};

std::chrono::nanoseconds processorTimeUsed() {
  timespec used;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
  return std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
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

TEST_F(HTTPServerResilienceTest, TheLessonServerSurvivesSilentGarbageSendingAndVanishingClients) {
  // The silent client is closed after HTTPConnection::kSilenceTimeout, far longer than a test may wait.
  RawClient silent(server_.listeningPort());
  RawClient garbage(server_.listeningPort());
  garbage.send("\x16\x03\x01\x02\x00\x01\xfc not a request\r\n\r\n");
  EXPECT_TRUE(garbage.closedByServer());
  RawClient vanishing(server_.listeningPort());
  vanishing.send("GET /large.ts HTTP/1.1\r\nHo");
  vanishing.vanish();
  EXPECT_EQ(TestHTTPClient(server_.listeningPort()).request(http::verb::get, "/segment0.ts").body(),
            std::string(100, 's'));
}

TEST_F(HTTPServerResilienceTest, OutOfDescriptorsItBacksOffKeepsServingAndAcceptsOnceTheyFreeUp) {
  TestHTTPClient held(server_.listeningPort());
  ASSERT_EQ(held.request(http::verb::get, "/segment0.ts").result(), http::status::ok);
  asio::io_context io;
  asio::ip::tcp::socket waiting(io, asio::ip::tcp::v4());
  DescriptorExhaustion exhaustion;
  // The connection is made, but the server has no descriptor to accept it with.
  waiting.connect({asio::ip::address_v4::loopback(), server_.listeningPort()});

  // The server's own thread works on a real clock, so this is a short look at it, not a wait for a timer.
  const auto window = std::chrono::milliseconds(300);
  const auto usedBefore = processorTimeUsed();
  std::this_thread::sleep_for(window);
  const auto used = processorTimeUsed() - usedBefore;

  exhaustion.freeAll();  // before anything that may report a failure, which takes descriptors
  EXPECT_LT(used, window / 2) << "the accept loop spins";
  asio::write(waiting,
              asio::buffer(std::string_view("GET /segment0.ts HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")));
  boost::beast::flat_buffer buffer;
  server_testing::Response response;
  http::async_read(waiting, buffer, response, [](const boost::system::error_code&, std::size_t) {});
  io.run_for(server_testing::kDeadline);
  EXPECT_EQ(response.body(), std::string(100, 's'));
  EXPECT_EQ(held.request(http::verb::get, "/segment0.ts").body(), std::string(100, 's'));
}

}  // namespace

}  // namespace embedded_server
