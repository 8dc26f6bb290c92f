// The simulated network link: with no network only the device's own servers are reached, loads in flight
// end when the link goes, and reachability probes report the link.

#include <gtest/gtest.h>
#include <netinet/in.h>

#include "platform/net/NetworkLink.h"
#include "platform/net/NetworkReachability.h"
#include "url_connection_test_util.h"

namespace {

using nettest::RecordingDelegate;

class NetworkLinkTest : public nettest::LoopbackTest {
 protected:
  NetworkLinkTest() {
    server_.route("/ok", testsupport::TestResponse::text(200, "served"));
    ownServer_.route("/ok", testsupport::TestResponse::text(200, "own"));
  }
  ~NetworkLinkTest() override { ns::NetworkLink::simulate(std::nullopt); }

  testsupport::LoopbackHTTPServer ownServer_;
};

TEST_F(NetworkLinkTest, WithNoNetworkOnlyTheDevicesOwnServersAreReached) {
  const ns::NetworkLink::OwnServerPort own(ownServer_.port());
  ns::NetworkLink::simulate(ns::LinkKind::kNone);

  const std::string outside = server_.url("/ok");
  nettest::expectURLError(*nettest::load(nettest::requestFor(outside)), ns::kURLErrorNotConnectedToInternet,
                          outside);
  EXPECT_EQ(server_.connectionCount(), 0u) << "nothing leaves the device";
  for (const char* host : {"127.0.0.1", "localhost"}) {
    const auto reached = nettest::load(nettest::requestFor(ownServer_.url("/ok", host)));
    EXPECT_TRUE(reached->finished) << host;
    EXPECT_EQ(reached->body, "own") << host;
  }
  EXPECT_FALSE(ns::NetworkLink::allowsConnection("10.0.0.1", ownServer_.port()))
      << "an own port is loopback's";

  ns::NetworkLink::simulate(ns::LinkKind::kCellular);
  EXPECT_EQ(nettest::load(nettest::requestFor(outside))->body, "served");
}

TEST_F(NetworkLinkTest, LoadsInFlightOrWaitingTheirTurnEndWhenTheLinkGoes) {
  ns::NetworkLink::simulate(ns::LinkKind::kWiFi);
  // One more load than a server takes at once, so that one waits its turn.
  std::vector<std::shared_ptr<RecordingDelegate>> delegates;
  std::vector<std::shared_ptr<ns::URLConnection>> connections;
  for (std::size_t i = 0; i <= ns::URLConnection::kMaximumLoadsPerServer; ++i) {
    delegates.push_back(std::make_shared<RecordingDelegate>());
    connections.push_back(nettest::start(nettest::requestFor(server_.url("/slow")), delegates.back()));
  }
  delegates.front()->onEvent = [](ns::URLConnection&, const std::string& event) {
    if (event == "data") {
      ns::NetworkLink::simulate(ns::LinkKind::kNone);
    }
  };
  for (const auto& delegate : delegates) {
    ASSERT_TRUE(nettest::runUntilEnded(*delegate));
    ASSERT_TRUE(delegate->error.has_value());
    EXPECT_EQ(delegate->error->code(), ns::kURLErrorNetworkConnectionLost);
  }
}

TEST_F(NetworkLinkTest, ReachabilityProbesReportTheSimulatedLink) {
  sockaddr_in anyAddress{};
  anyAddress.sin_family = AF_INET;
  const auto network = ns::NetworkReachability::forAddress(reinterpret_cast<const sockaddr*>(&anyAddress));
  std::vector<ns::ReachabilityFlags> reports;
  network->setCallback([&](ns::ReachabilityFlags flags) { reports.push_back(flags); });
  ns::NetworkLink::simulate(ns::LinkKind::kWiFi);
  network->scheduleWithCurrentRunLoop();

  ns::NetworkLink::simulate(ns::LinkKind::kNone);
  ASSERT_TRUE(ns::RunLoop::current().runUntil([&] { return !reports.empty(); }, std::chrono::seconds(5)));
  EXPECT_EQ(reports.back(), ns::ReachabilityFlags{0});
  EXPECT_EQ(ns::NetworkReachability::forHostName("localhost")->flags().value_or(0) &
                ns::kReachabilityFlagsReachable,
            ns::kReachabilityFlagsReachable);
  ns::NetworkLink::simulate(ns::LinkKind::kCellular);
  ASSERT_TRUE(ns::RunLoop::current().runUntil([&] { return reports.size() == 2; }, std::chrono::seconds(5)));
  EXPECT_EQ(reports.back(), ns::kReachabilityFlagsReachable | ns::kReachabilityFlagsIsWWAN);
}

}  // namespace
