// How loads fail: unreachable hosts, dropped connections, bad requests, and the errors they carry.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/net/URLConnection.h"
#include "platform/net/URLConnectionTestUtil.h"
#include "platform/net/URLError.h"
#include "support/LoopbackHTTPServer.h"

namespace {

using nettest::load;
using nettest::RecordingDelegate;
using nettest::requestFor;
using testing::ElementsAre;
using testsupport::LoopbackHTTPServer;
using testsupport::TestResponse;

// Returns a loopback port that nothing listens on: bound once, then closed.
int closedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

void expectURLError(const RecordingDelegate& delegate, ns::URLErrorCode code, const std::string& url) {
  ASSERT_TRUE(delegate.error.has_value()) << "the load did not fail";
  EXPECT_EQ(delegate.error->domain(), ns::kURLErrorDomain);
  EXPECT_EQ(delegate.error->code(), code);
  const ns::Dictionary& userInfo = delegate.error->userInfo();
  for (const std::string_view key :
       {ns::kURLErrorFailingURLErrorKey, ns::kURLErrorFailingURLStringErrorKey}) {
    const auto failingURL = userInfo.find(key);
    ASSERT_NE(failingURL, userInfo.end()) << key;
    EXPECT_EQ(failingURL->second.asString(), url);
  }
}

TEST(URLConnectionFailureTest, AHostThatDoesNotResolveIsNotFound) {
  const std::string url = "http://no-such-host.invalid/x";
  const auto delegate = load(requestFor(url));
  expectURLError(*delegate, ns::kURLErrorCannotFindHost, url);
  EXPECT_THAT(delegate->events, ElementsAre("fail -1003"));
}

TEST(URLConnectionFailureTest, AClosedPortCannotBeConnectedTo) {
  const std::string url = "http://127.0.0.1:" + std::to_string(closedPort()) + "/x";
  expectURLError(*load(requestFor(url)), ns::kURLErrorCannotConnectToHost, url);
}

TEST(URLConnectionFailureTest, AConnectionDroppedMidBodyIsLost) {
  LoopbackHTTPServer server;
  TestResponse cut = TestResponse::text(200, std::string(1000, 'z'));
  cut.closeAfterBodyBytes = 100;
  server.route("/cut", cut);
  TestResponse cutChunked = cut;
  cutChunked.framing = TestResponse::Framing::kChunked;
  cutChunked.pieceSize = 50;
  server.route("/cut-chunked", cutChunked);

  const auto plain = load(requestFor(server.url("/cut")));
  const auto chunked = load(requestFor(server.url("/cut-chunked")));

  expectURLError(*plain, ns::kURLErrorNetworkConnectionLost, server.url("/cut"));
  EXPECT_THAT(plain->events, ElementsAre("response 200", "data", "fail -1005"));
  EXPECT_EQ(plain->body, std::string(100, 'z'));
  expectURLError(*chunked, ns::kURLErrorNetworkConnectionLost, server.url("/cut-chunked"));
}

TEST(URLConnectionFailureTest, RequestsThatCannotBeSentFailOnALaterTurn) {
  struct Case {
    std::optional<ns::URL> url;
    ns::URLErrorCode code;
  };
  const std::vector<Case> cases = {
      {std::nullopt, ns::kURLErrorBadURL},
      {ns::URL::fromString("ftp://127.0.0.1/file"), ns::kURLErrorUnsupportedURL},
      {ns::URL::fromString("relative/path"), ns::kURLErrorUnsupportedURL},
      {ns::URL::fromString("http:///nohost"), ns::kURLErrorBadURL},
  };
  for (const Case& testCase : cases) {
    auto delegate = std::make_shared<RecordingDelegate>();
    const auto connection = nettest::start(ns::URLRequest(testCase.url), delegate);
    EXPECT_TRUE(delegate->events.empty()) << "no delegate call inside start()";
    ASSERT_TRUE(nettest::runUntilEnded(*delegate));
    ASSERT_TRUE(delegate->error.has_value());
    EXPECT_EQ(delegate->error->code(), testCase.code);
  }
}

TEST(URLConnectionFailureTest, ALoadWhoseDelegateIsGoneStopsQuietly) {
  LoopbackHTTPServer server;
  TestResponse slow = TestResponse::text(200, "abcdef");
  slow.pieceSize = 1;
  slow.pauseBetweenPieces = std::chrono::milliseconds(10);
  server.route("/slow", slow);
  auto delegate = std::make_shared<RecordingDelegate>();
  bool sawData = false;
  delegate->onEvent = [&](ns::URLConnection&, const std::string& event) {
    sawData = sawData || event == "data";
  };
  std::weak_ptr<ns::URLConnection> weakConnection = nettest::start(requestFor(server.url("/slow")), delegate);

  ASSERT_TRUE(ns::RunLoop::current().runUntil([&] { return sawData; }, std::chrono::seconds(10)));
  delegate.reset();

  // Dropped by the caller and without a delegate, the running connection is released once it notices.
  EXPECT_TRUE(
      ns::RunLoop::current().runUntil([&] { return weakConnection.expired(); }, std::chrono::seconds(10)));
}

}  // namespace
