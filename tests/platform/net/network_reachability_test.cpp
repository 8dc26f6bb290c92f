// Reachability probes: flags of loopback targets, simulated changes, and when callbacks come.

#include <gtest/gtest.h>
#include <netinet/in.h>

#include "platform/net/NetworkReachability.h"

namespace {

using namespace std::chrono_literals;

constexpr ns::ReachabilityFlags kWiFi = ns::kReachabilityFlagsReachable;
constexpr ns::ReachabilityFlags kCellular = ns::kReachabilityFlagsReachable | ns::kReachabilityFlagsIsWWAN;

std::shared_ptr<ns::NetworkReachability> addressProbe(in_addr_t address = INADDR_ANY) {
  sockaddr_in socketAddress{};
  socketAddress.sin_family = AF_INET;
  socketAddress.sin_addr.s_addr = htonl(address);
  return ns::NetworkReachability::forAddress(reinterpret_cast<const sockaddr*>(&socketAddress));
}

// A probe of the whole network that records its reports, scheduled on this thread's loop.
std::shared_ptr<ns::NetworkReachability> scheduledProbe(std::vector<ns::ReachabilityFlags>& reports) {
  auto probe = addressProbe();
  probe->setCallback([&reports](ns::ReachabilityFlags flags) { reports.push_back(flags); });
  probe->scheduleWithCurrentRunLoop();
  return probe;
}

bool runUntil(const std::function<bool()>& done) {
  return ns::RunLoop::current().runUntil(done, 5s);
}

class NetworkReachabilityTest : public testing::Test {
 protected:
  ~NetworkReachabilityTest() override { ns::NetworkReachability::setFlagsForTesting(std::nullopt); }
};

TEST_F(NetworkReachabilityTest, LoopbackTargetsAreAlwaysReachableAndLocal) {
  const ns::ReachabilityFlags local =
      ns::kReachabilityFlagsReachable | ns::kReachabilityFlagsIsLocalAddress | ns::kReachabilityFlagsIsDirect;
  EXPECT_EQ(addressProbe(INADDR_LOOPBACK)->flags(), local);
  EXPECT_EQ(ns::NetworkReachability::forHostName("localhost")->flags(), local);
  EXPECT_EQ(ns::NetworkReachability::forHostName("::1")->flags(), local);
  EXPECT_TRUE(addressProbe()->flags().has_value());
}

// A probe scheduled twice still reports once; one unscheduled or released hears nothing.
TEST_F(NetworkReachabilityTest, AScheduledProbeReportsEachSimulatedChangeOnce) {
  ns::NetworkReachability::setFlagsForTesting(kWiFi);
  std::vector<ns::ReachabilityFlags> reports;
  std::vector<ns::ReachabilityFlags> silentReports;
  const auto probe = scheduledProbe(reports);
  probe->scheduleWithCurrentRunLoop();
  const auto unscheduled = scheduledProbe(silentReports);
  unscheduled->unschedule();
  scheduledProbe(silentReports).reset();
  ns::NetworkReachability::setFlagsForTesting(kCellular);
  ASSERT_TRUE(runUntil([&] { return reports.size() == 1; }));
  ns::NetworkReachability::setFlagsForTesting(kCellular);
  ns::NetworkReachability::setFlagsForTesting(0);
  ASSERT_TRUE(runUntil([&] { return reports.size() == 2; }));
  EXPECT_EQ(reports, (std::vector<ns::ReachabilityFlags>{kCellular, 0}));
  EXPECT_EQ(probe->flags(), 0u);
  EXPECT_TRUE(silentReports.empty());
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

}  // namespace
