// Which network link the application meets, as the assembly chooses it: the machine's own for a back end
// elsewhere; the simulation, on Wi-Fi, for a back end on this machine (embedded or on loopback), so that
// it works with no network at all; the simulation whenever --network or the network command chooses one.

#include <gtest/gtest.h>

#include <sstream>

#include "main/assembly/ApplicationAssembly.h"
#include "main/terminal/TerminalFrontEnd.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "platform/net/NetworkLink.h"
#include "platform/outside/MachineNetwork.h"
#include "platform/outside/Reachability.h"
#include "support/process_reset.h"

namespace terminal {
namespace {

outside::NetworkStatus statusNow() {
  return outside::Reachability::reachabilityForInternetConnection()->currentReachabilityStatus();
}

class NetworkInForceTest : public testing::Test {
 protected:
  NetworkInForceTest() { testsupport::resetForTesting(); }
  ~NetworkInForceTest() override { testsupport::resetForTesting(); }

  // Launches with the back end `webHost` and the chosen `network`, and runs `check` while it runs.
  void launch(std::optional<HostAndPort> webHost, std::optional<outside::NetworkStatus> network,
              const std::function<void()>& check) {
    testsupport::resetForTesting();
    ns::Result<std::unique_ptr<assembly::ApplicationAssembly>> launched =
        assembly::ApplicationAssembly::launch({sandbox_.home(), webHost, std::nullopt, network, false});
    ASSERT_TRUE(launched.ok()) << launched.error().localizedDescription();
    check();
  }

  const ns::testutil::TemporarySandbox sandbox_;
};

TEST_F(NetworkInForceTest, ABackEndElsewhereIsReachedOverTheMachinesOwnNetworkUntilALinkIsChosen) {
  launch(HostAndPort{"backend.example.org", 8080}, std::nullopt, [] {
    EXPECT_TRUE(outside::MachineNetwork::isFollowed());
    EXPECT_EQ(ns::NetworkLink::simulated(), std::nullopt) << "loads meet the machine's network as it is";
    std::ostringstream out;
    std::ostringstream errors;
    std::istringstream script("network cellular\n");
    EXPECT_EQ(TerminalFrontEnd(out, errors).runScript(script, "switch.qms"), TerminalFrontEnd::kExitSuccess)
        << errors.str();
    EXPECT_FALSE(outside::MachineNetwork::isFollowed());
    EXPECT_EQ(statusNow(), outside::ReachableViaWWAN);
  });
  launch(HostAndPort{"192.0.2.7", 8080}, outside::NotReachable, [] {
    EXPECT_FALSE(outside::MachineNetwork::isFollowed());
    EXPECT_EQ(statusNow(), outside::NotReachable);
  });
}

TEST_F(NetworkInForceTest, ABackEndOnThisMachineMeetsASimulatedWiFiLink) {
  for (const std::optional<HostAndPort>& webHost :
       {std::optional<HostAndPort>(), std::optional(HostAndPort{"127.0.0.1", 9}),
        std::optional(HostAndPort{"localhost", 9}), std::optional(HostAndPort{"::1", 9})}) {
    launch(webHost, std::nullopt, [&] {
      EXPECT_FALSE(outside::MachineNetwork::isFollowed()) << (webHost ? webHost->text() : "embedded");
      EXPECT_EQ(statusNow(), outside::ReachableViaWiFi);
      EXPECT_EQ(ns::NetworkLink::simulated(), ns::LinkKind::kWiFi);
    });
  }
}

}  // namespace
}  // namespace terminal
