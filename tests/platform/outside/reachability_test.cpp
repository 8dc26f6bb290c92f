#include "platform/outside/Reachability.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/outside/SimulatedNetwork.h"

namespace outside {
namespace {

class ReachabilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("QUILLMARK_NETWORK");
    SimulatedNetwork::resetForTesting();
    token_ = ns::NotificationCenter::defaultCenter().addObserverForName(
        std::string(kReachabilityChangedNotification), nullptr, nullptr,
        [this](const ns::Notification& notification) { postedBy_.push_back(notification.object.get()); });
  }
  void TearDown() override {
    ns::NotificationCenter::defaultCenter().removeObserver(token_);
    unsetenv("QUILLMARK_NETWORK");
    SimulatedNetwork::resetForTesting();
  }

  std::vector<const ns::Object*> postedBy_;

 private:
  ns::NotificationCenter::ObserverToken token_;
};

TEST_F(ReachabilityTest, StatusDefaultsToWifiAndFollowsTheEnvironment) {
  EXPECT_EQ(Reachability::reachabilityForInternetConnection()->currentReachabilityStatus(), ReachableViaWiFi);

  SimulatedNetwork::resetForTesting();
  setenv("QUILLMARK_NETWORK", "cellular", 1);
  EXPECT_EQ(Reachability::reachabilityForInternetConnection()->currentReachabilityStatus(), ReachableViaWWAN);

  SimulatedNetwork::resetForTesting();
  setenv("QUILLMARK_NETWORK", "none", 1);
  EXPECT_EQ(SimulatedNetwork::status(), NotReachable);

  SimulatedNetwork::resetForTesting();
  setenv("QUILLMARK_NETWORK", "satellite", 1);
  EXPECT_EQ(SimulatedNetwork::status(), ReachableViaWiFi);
}

TEST_F(ReachabilityTest, NamesOfTheCommandLine) {
  EXPECT_EQ(networkStatusFromName("none"), NotReachable);
  EXPECT_EQ(networkStatusFromName("cellular"), ReachableViaWWAN);
  EXPECT_EQ(networkStatusFromName("wifi"), ReachableViaWiFi);
  EXPECT_EQ(networkStatusFromName("WiFi"), std::nullopt);
  EXPECT_EQ(static_cast<int>(NotReachable), 0);
  EXPECT_EQ(static_cast<int>(ReachableViaWWAN), 1);
  EXPECT_EQ(static_cast<int>(ReachableViaWiFi), 2);
}

TEST_F(ReachabilityTest, OnlyStartedMonitorsPostAndOnlyOnRealChanges) {
  std::shared_ptr<Reachability> started = Reachability::reachabilityForInternetConnection();
  std::shared_ptr<Reachability> silent = Reachability::reachabilityForInternetConnection();
  started->startNotifier();
  started->startNotifier();

  SimulatedNetwork::setStatus(ReachableViaWiFi);
  EXPECT_TRUE(postedBy_.empty());

  SimulatedNetwork::setStatus(NotReachable);
  ASSERT_EQ(postedBy_.size(), 1u);
  EXPECT_EQ(postedBy_[0], started.get());
  EXPECT_EQ(started->currentReachabilityStatus(), NotReachable);
  EXPECT_EQ(silent->currentReachabilityStatus(), NotReachable);

  SimulatedNetwork::setStatus(ReachableViaWWAN);
  EXPECT_EQ(postedBy_.size(), 2u);
  EXPECT_EQ(started->currentReachabilityStatus(), ReachableViaWWAN);
}

TEST_F(ReachabilityTest, AReleasedMonitorPostsNothing) {
  Reachability::reachabilityForInternetConnection()->startNotifier();
  SimulatedNetwork::setStatus(NotReachable);
  EXPECT_TRUE(postedBy_.empty());
}

TEST_F(ReachabilityTest, AnObserverMayStartAnotherMonitorWhileHearingOfAChange) {
  std::shared_ptr<Reachability> first = Reachability::reachabilityForInternetConnection();
  first->startNotifier();
  std::shared_ptr<Reachability> second;
  ns::NotificationCenter::ObserverToken token = ns::NotificationCenter::defaultCenter().addObserverForName(
      std::string(kReachabilityChangedNotification), nullptr, nullptr, [&](const ns::Notification&) {
        if (!second) {
          second = Reachability::reachabilityForInternetConnection();
          second->startNotifier();
        }
      });
  SimulatedNetwork::setStatus(NotReachable);
  EXPECT_EQ(postedBy_.size(), 1u);
  SimulatedNetwork::setStatus(ReachableViaWiFi);
  EXPECT_EQ(postedBy_.size(), 3u);
  ns::NotificationCenter::defaultCenter().removeObserver(token);
}

}  // namespace
}  // namespace outside
