// Reachability probes: flags of loopback targets, simulated changes, and when callbacks come.

#include <gtest/gtest.h>
#include <netinet/in.h>

#include "platform/net/NetworkReachability.h"

namespace {

using namespace std::chrono_literals;

constexpr ns::ReachabilityFlags kWiFi = ns::kReachabilityFlagsReachable;
constexpr ns::ReachabilityFlags kCellular = ns::kReachabilityFlagsReachable | ns::kReachabilityFlagsIsWWAN;

std::shared_ptr<ns::NetworkReachability> zeroAddressProbe() {
  sockaddr_in zero{};
  zero.sin_family = AF_INET;
  return ns::NetworkReachability::forAddress(reinterpret_cast<const sockaddr*>(&zero));
}

class NetworkReachabilityTest : public testing::Test {
 protected:
  ~NetworkReachabilityTest() override { ns::NetworkReachability::setFlagsForTesting(std::nullopt); }

  bool runUntil(const std::function<bool()>& done) { return ns::RunLoop::current().runUntil(done, 5s); }
};

TEST_F(NetworkReachabilityTest, LoopbackTargetsAreAlwaysReachableAndLocal) {
  sockaddr_in loopback{};
  loopback.sin_family = AF_INET;
  loopback.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const ns::ReachabilityFlags local =
      ns::kReachabilityFlagsReachable | ns::kReachabilityFlagsIsLocalAddress | ns::kReachabilityFlagsIsDirect;

  EXPECT_EQ(ns::NetworkReachability::forAddress(reinterpret_cast<const sockaddr*>(&loopback))->flags(),
            local);
  EXPECT_EQ(ns::NetworkReachability::forHostName("localhost")->flags(), local);
  EXPECT_EQ(ns::NetworkReachability::forHostName("::1")->flags(), local);
  EXPECT_TRUE(zeroAddressProbe()->flags().has_value());
}

TEST_F(NetworkReachabilityTest, AScheduledProbeReportsEachSimulatedChangeOnce) {
  ns::NetworkReachability::setFlagsForTesting(kWiFi);
  const auto probe = zeroAddressProbe();
  std::vector<ns::ReachabilityFlags> reports;
  probe->setCallback([&](ns::ReachabilityFlags flags) { reports.push_back(flags); });
  probe->scheduleWithCurrentRunLoop();
  probe->scheduleWithCurrentRunLoop();

  ns::NetworkReachability::setFlagsForTesting(kCellular);
  ASSERT_TRUE(runUntil([&] { return reports.size() == 1; }));
  ns::NetworkReachability::setFlagsForTesting(kCellular);
  ns::NetworkReachability::setFlagsForTesting(0);
  ASSERT_TRUE(runUntil([&] { return reports.size() == 2; }));

  EXPECT_EQ(reports, (std::vector<ns::ReachabilityFlags>{kCellular, 0}));
  EXPECT_EQ(probe->flags(), 0u);
}

TEST_F(NetworkReachabilityTest, AHostNameProbeReportsOnceWhenScheduled) {
  ns::NetworkReachability::setFlagsForTesting(kWiFi);
  const auto probe = ns::NetworkReachability::forHostName("api.example.com");
  std::vector<ns::ReachabilityFlags> reports;
  probe->setCallback([&](ns::ReachabilityFlags flags) { reports.push_back(flags); });

  probe->scheduleWithCurrentRunLoop();
  EXPECT_TRUE(reports.empty()) << "the first report comes on a later turn";
  ASSERT_TRUE(runUntil([&] { return reports.size() == 1; }));
  EXPECT_EQ(reports.front(), kWiFi);
}

TEST_F(NetworkReachabilityTest, AnUnscheduledOrReleasedProbeHearsNothing) {
  ns::NetworkReachability::setFlagsForTesting(kWiFi);
  auto unscheduled = zeroAddressProbe();
  auto released = zeroAddressProbe();
  int calls = 0;
  for (const auto& probe : {unscheduled, released}) {
    probe->setCallback([&](ns::ReachabilityFlags) { ++calls; });
    probe->scheduleWithCurrentRunLoop();
  }
  const auto witness = zeroAddressProbe();
  bool witnessHeard = false;
  witness->setCallback([&](ns::ReachabilityFlags) { witnessHeard = true; });
  witness->scheduleWithCurrentRunLoop();

  unscheduled->unschedule();
  released.reset();
  ns::NetworkReachability::setFlagsForTesting(kCellular);
  ASSERT_TRUE(runUntil([&] { return witnessHeard; }));

  EXPECT_EQ(calls, 0);
}

}  // namespace
