#include "platform/outside/Reachability.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <functional>
#include <vector>

#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/net/NetworkLink.h"
#include "platform/outside/MachineNetwork.h"
#include "platform/outside/SimulatedNetwork.h"

namespace outside {
namespace {

static_assert(NotReachable == 0 && ReachableViaWWAN == 1 && ReachableViaWiFi == 2);  // Callers rely on them.

// Starts as a new process would, and records which monitor posted each change, then calls onPost_.
class ReachabilityTest : public ::testing::Test {
 protected:
  ReachabilityTest() { unsetenv("QUILLMARK_NETWORK"); }
  ~ReachabilityTest() override {
    ns::NotificationCenter::defaultCenter().removeObserver(token_);
    SimulatedNetwork::resetForTesting();
  }

  std::vector<const ns::Object*> postedBy_;
  std::function<void()> onPost_ = [] {};
  const ns::NotificationCenter::ObserverToken token_ =
      ns::NotificationCenter::defaultCenter().addObserverForName(
          kReachabilityChangedNotification, nullptr, nullptr, [this](const ns::Notification& posted) {
            postedBy_.push_back(posted.object.get());
            onPost_();
          });
};

// The names of --network and QUILLMARK_NETWORK; without one, or with an unknown one, the status is Wi-Fi. The
// network link follows the status: with none, a server the device does not run is out of reach.
TEST_F(ReachabilityTest, StatusDefaultsToWifiAndFollowsTheEnvironment) {
  EXPECT_EQ(Reachability::reachabilityForInternetConnection()->currentReachabilityStatus(), ReachableViaWiFi);
  for (const auto& [name, status] :
       std::vector<std::pair<const char*, std::optional<NetworkStatus>>>{{"none", NotReachable},
                                                                         {"cellular", ReachableViaWWAN},
                                                                         {"wifi", ReachableViaWiFi},
                                                                         {"WiFi", {}}}) {
    EXPECT_EQ(networkStatusFromName(name), status) << name;
    SimulatedNetwork::resetForTesting();
    setenv("QUILLMARK_NETWORK", name, 1);
    EXPECT_EQ(SimulatedNetwork::status(), status.value_or(ReachableViaWiFi)) << name;
    EXPECT_EQ(ns::NetworkLink::allowsConnection("127.0.0.1", 9), status != NotReachable) << name;
  }
  SimulatedNetwork::resetForTesting();
  EXPECT_EQ(ns::NetworkLink::simulated(), std::nullopt);
}

// Unstarted or released monitors and repeated statuses post nothing; one started mid-post posts from then on.
TEST_F(ReachabilityTest, OnlyStartedMonitorsPostAndOnlyOnRealChanges) {
  const auto started = Reachability::reachabilityForInternetConnection();
  const auto silent = Reachability::reachabilityForInternetConnection();
  started->startNotifier();
  started->startNotifier();
  Reachability::reachabilityForInternetConnection()->startNotifier();
  std::shared_ptr<Reachability> startedWhileHearing;
  onPost_ = [&] {
    if (!startedWhileHearing) {
      (startedWhileHearing = Reachability::reachabilityForInternetConnection())->startNotifier();
    }
  };
  SimulatedNetwork::setStatus(ReachableViaWiFi);
  SimulatedNetwork::setStatus(NotReachable);
  EXPECT_EQ(postedBy_, std::vector<const ns::Object*>{started.get()});
  EXPECT_EQ(silent->currentReachabilityStatus(), NotReachable);
  EXPECT_EQ(ns::NetworkLink::simulated(), ns::LinkKind::kNone);
  SimulatedNetwork::setStatus(ReachableViaWWAN);
  EXPECT_EQ(ns::NetworkLink::simulated(), ns::LinkKind::kCellular);
  EXPECT_EQ(postedBy_.size(), 3u);
  EXPECT_EQ(started->currentReachabilityStatus(), ReachableViaWWAN);
}

// Following the machine's network ends the simulation, so that loads meet the machine's network as it is;
// the monitors hear of it when the machine's status differs from the simulated one. Choosing a status puts
// the simulation in force again. Whatever network this machine has, a status that differs posts once.
TEST_F(ReachabilityTest, TheLinkInForceSwitchesBetweenTheMachineAndTheSimulation) {
  const auto monitor = Reachability::reachabilityForInternetConnection();
  monitor->startNotifier();
  SimulatedNetwork::setStatus(NotReachable);
  postedBy_.clear();
  MachineNetwork::follow();
  MachineNetwork::follow();
  EXPECT_TRUE(MachineNetwork::isFollowed());
  EXPECT_EQ(ns::NetworkLink::simulated(), std::nullopt);
  const NetworkStatus machine = monitor->currentReachabilityStatus();
  EXPECT_EQ(postedBy_.size(), machine == NotReachable ? 0u : 1u);

  const NetworkStatus other = machine == ReachableViaWiFi ? ReachableViaWWAN : ReachableViaWiFi;
  postedBy_.clear();
  SimulatedNetwork::setStatus(other);
  EXPECT_FALSE(MachineNetwork::isFollowed());
  EXPECT_EQ(monitor->currentReachabilityStatus(), other);
  EXPECT_EQ(postedBy_, std::vector<const ns::Object*>{monitor.get()});
  EXPECT_NE(ns::NetworkLink::simulated(), std::nullopt);

  MachineNetwork::follow();
  SimulatedNetwork::resetForTesting();
  EXPECT_FALSE(MachineNetwork::isFollowed());
}

}  // namespace
}  // namespace outside
