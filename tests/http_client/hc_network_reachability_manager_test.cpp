// The reachability manager: status from flags, its texts, and when reports, blocks and notifications come.

#include <gtest/gtest.h>
#include <netinet/in.h>

#include <vector>

#include "http_client/HCNetworkReachabilityManager.h"
#include "http_client/http_client_test_util.h"
#include "platform/foundation/notify/NotificationCenter.h"

namespace http_client {

namespace {

using httpclienttest::runMainLoopThroughQueuedTasks;
using httpclienttest::runMainLoopUntil;
using Status = HCNetworkReachabilityStatus;

constexpr ns::ReachabilityFlags kReachable = ns::kReachabilityFlagsReachable;
constexpr ns::ReachabilityFlags kWWAN = ns::kReachabilityFlagsIsWWAN;
constexpr ns::ReachabilityFlags kConnectionRequired = ns::kReachabilityFlagsConnectionRequired;
constexpr ns::ReachabilityFlags kOnDemand = ns::kReachabilityFlagsConnectionOnDemand;
constexpr ns::ReachabilityFlags kOnTraffic = ns::kReachabilityFlagsConnectionOnTraffic;
constexpr ns::ReachabilityFlags kIntervention = ns::kReachabilityFlagsInterventionRequired;

class HCNetworkReachabilityManagerTest : public testing::Test {
 protected:
  HCNetworkReachabilityManagerTest() {
    ns::NetworkReachability::setFlagsForTesting(kReachable);
    observer_ = ns::NotificationCenter::defaultCenter().addObserverForName(
        kHCNetworkingReachabilityDidChangeNotification, nullptr, nullptr,
        [this](const ns::Notification& notification) {
          notified_.push_back(static_cast<Status>(
              notification.userInfo.at(kHCNetworkingReachabilityNotificationStatusItem).intValue()));
        });
  }
  ~HCNetworkReachabilityManagerTest() override {
    ns::NotificationCenter::defaultCenter().removeObserver(observer_);
    ns::NetworkReachability::setFlagsForTesting(std::nullopt);
  }

  static std::shared_ptr<HCNetworkReachabilityManager> zeroAddressManager() {
    sockaddr_in zero{};
    zero.sin_family = AF_INET;
    return HCNetworkReachabilityManager::managerForAddress(reinterpret_cast<const sockaddr*>(&zero));
  }

  std::vector<Status> notified_;
  ns::NotificationCenter::ObserverToken observer_;
};

TEST_F(HCNetworkReachabilityManagerTest, StatusFollowsTheFlagsAndNamesItself) {
  EXPECT_EQ(HCReachabilityStatusForFlags(kReachable), Status::kReachableViaWiFi);
  EXPECT_EQ(HCReachabilityStatusForFlags(kReachable | kWWAN), Status::kReachableViaWWAN);
  EXPECT_EQ(HCReachabilityStatusForFlags(kReachable | kConnectionRequired), Status::kNotReachable);
  EXPECT_EQ(HCReachabilityStatusForFlags(kReachable | kConnectionRequired | kOnDemand),
            Status::kReachableViaWiFi);
  EXPECT_EQ(HCReachabilityStatusForFlags(kReachable | kConnectionRequired | kOnTraffic | kWWAN),
            Status::kReachableViaWWAN);
  EXPECT_EQ(HCReachabilityStatusForFlags(kReachable | kConnectionRequired | kOnDemand | kIntervention),
            Status::kNotReachable);
  EXPECT_EQ(HCReachabilityStatusForFlags(kWWAN | kOnDemand | ns::kReachabilityFlagsIsLocalAddress),
            Status::kNotReachable);
  EXPECT_EQ(HCReachabilityStatusText(Status::kUnknown), "Unknown");
  EXPECT_EQ(HCReachabilityStatusText(Status::kNotReachable), "Not Reachable");
  EXPECT_EQ(HCReachabilityStatusText(Status::kReachableViaWWAN), "Reachable via WWAN");
  EXPECT_EQ(HCReachabilityStatusText(Status::kReachableViaWiFi), "Reachable via WiFi");
  EXPECT_EQ(HCReachabilityStatusText(static_cast<Status>(5)), "Unknown");
}

TEST_F(HCNetworkReachabilityManagerTest, TheSharedManagerIsNeverStartedAndOneWithoutAProbeNeverReports) {
  const auto shared = HCNetworkReachabilityManager::sharedManager();
  EXPECT_EQ(shared, HCNetworkReachabilityManager::sharedManager());
  EXPECT_EQ(shared->networkReachabilityAssociation(), HCNetworkReachabilityAssociation::kForAddress);
  EXPECT_EQ(shared->networkReachabilityStatus(), Status::kUnknown);
  EXPECT_FALSE(shared->isReachable());
  EXPECT_EQ(shared->localizedNetworkReachabilityStatusString(), "Unknown");
  HCNetworkReachabilityManager withoutProbe(nullptr);
  withoutProbe.startMonitoring();
  runMainLoopThroughQueuedTasks();
  EXPECT_EQ(withoutProbe.networkReachabilityStatus(), Status::kUnknown);
}

// Each start reports at once, but monitoring is scheduled once: a change reports once.
TEST_F(HCNetworkReachabilityManagerTest, AnAddressManagerReportsAtOnceAndThenEachChangeOnce) {
  const auto manager = zeroAddressManager();
  std::vector<Status> blockCalls;
  std::vector<ns::Value> observedReachable;
  manager->setReachabilityStatusChangeBlock([&](Status status) {
    EXPECT_EQ(manager->networkReachabilityStatus(), status) << "stored before the block runs";
    blockCalls.push_back(status);
  });
  const ns::KeyValueObservation observation = manager->observe(
      "reachableViaWWAN",
      [&](const ns::KeyValueChange& change) { observedReachable.push_back(change.newValue); });
  manager->startMonitoring();
  manager->startMonitoring();
  ASSERT_TRUE(runMainLoopUntil([&] { return notified_.size() == 2; }));
  EXPECT_EQ(blockCalls, (std::vector<Status>{Status::kReachableViaWiFi, Status::kReachableViaWiFi}));
  EXPECT_TRUE(manager->isReachableViaWiFi());
  ns::NetworkReachability::setFlagsForTesting(kReachable | kWWAN);
  ASSERT_TRUE(runMainLoopUntil([&] { return notified_.size() == 3; }));
  runMainLoopThroughQueuedTasks();
  EXPECT_EQ(blockCalls.size(), 3u);
  EXPECT_EQ(blockCalls.back(), Status::kReachableViaWWAN);
  EXPECT_EQ(notified_.back(), Status::kReachableViaWWAN);
  EXPECT_EQ(observedReachable.back(), ns::Value(true));
  manager->stopMonitoring();
  ns::NetworkReachability::setFlagsForTesting(0);
  runMainLoopThroughQueuedTasks();
  EXPECT_EQ(blockCalls.size(), 3u);
  EXPECT_EQ(manager->networkReachabilityStatus(), Status::kReachableViaWWAN) << "the last status stays";
}

TEST_F(HCNetworkReachabilityManagerTest, AHostNameManagerWaitsForTheSystemsFirstReport) {
  const auto manager = HCNetworkReachabilityManager::managerForDomain("api.example.com");
  EXPECT_EQ(manager->networkReachabilityAssociation(), HCNetworkReachabilityAssociation::kForName);
  manager->startMonitoring();
  EXPECT_EQ(manager->networkReachabilityStatus(), Status::kUnknown);
  ASSERT_TRUE(runMainLoopUntil([&] { return !notified_.empty(); }));
  EXPECT_EQ(manager->networkReachabilityStatus(), Status::kReachableViaWiFi);
}

TEST_F(HCNetworkReachabilityManagerTest, AManagerReleasedBeforeItsFirstReportOnlyPostsTheNotification) {
  int blockCalls = 0;
  {
    const auto manager = zeroAddressManager();
    manager->setReachabilityStatusChangeBlock([&](Status) { ++blockCalls; });
    manager->startMonitoring();
  }
  ASSERT_TRUE(runMainLoopUntil([&] { return notified_.size() == 1; }));
  ns::NetworkReachability::setFlagsForTesting(kReachable | kWWAN);
  runMainLoopThroughQueuedTasks();
  EXPECT_EQ(blockCalls, 0);
  EXPECT_EQ(notified_.size(), 1u);
}

}  // namespace

}  // namespace http_client
