#include "http_client/HCNetworkReachabilityManager.h"

#include <netinet/in.h>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/foundation/notify/NotificationCenter.h"

namespace http_client {

namespace {

constexpr char kStatusKey[] = "networkReachabilityStatus";
constexpr std::string_view kKeysFollowingStatus[] = {"reachable", "reachableViaWWAN", "reachableViaWiFi"};

void postStatusChange(HCNetworkReachabilityStatus status) {
  ns::NotificationCenter::defaultCenter().postNotificationName(
      kHCNetworkingReachabilityDidChangeNotification, nullptr,
      ns::Dictionary{{kHCNetworkingReachabilityNotificationStatusItem, static_cast<int>(status)}});
}

}  // namespace

std::string HCReachabilityStatusText(HCNetworkReachabilityStatus status) {
  switch (status) {
    case HCNetworkReachabilityStatus::kNotReachable:
      return "Not Reachable";
    case HCNetworkReachabilityStatus::kReachableViaWWAN:
      return "Reachable via WWAN";
    case HCNetworkReachabilityStatus::kReachableViaWiFi:
      return "Reachable via WiFi";
    default:
      return "Unknown";
  }
}

HCNetworkReachabilityStatus HCReachabilityStatusForFlags(ns::ReachabilityFlags flags) {
  const bool reachable = (flags & ns::kReachabilityFlagsReachable) != 0;
  const bool connectionRequired = (flags & ns::kReachabilityFlagsConnectionRequired) != 0;
  const bool connectsAutomatically =
      (flags & (ns::kReachabilityFlagsConnectionOnDemand | ns::kReachabilityFlagsConnectionOnTraffic)) != 0;
  const bool connectsWithoutUser =
      connectsAutomatically && (flags & ns::kReachabilityFlagsInterventionRequired) == 0;
  if (!reachable || (connectionRequired && !connectsWithoutUser)) {
    return HCNetworkReachabilityStatus::kNotReachable;
  }
  return (flags & ns::kReachabilityFlagsIsWWAN) != 0 ? HCNetworkReachabilityStatus::kReachableViaWWAN
                                                     : HCNetworkReachabilityStatus::kReachableViaWiFi;
}

std::shared_ptr<HCNetworkReachabilityManager> HCNetworkReachabilityManager::sharedManager() {
  QM_DCHECK_MAIN_THREAD();
  static const std::shared_ptr<HCNetworkReachabilityManager> shared = [] {
    sockaddr_in zeroAddress{};
    zeroAddress.sin_family = AF_INET;
    return managerForAddress(reinterpret_cast<const sockaddr*>(&zeroAddress));
  }();
  return shared;
}

std::shared_ptr<HCNetworkReachabilityManager> HCNetworkReachabilityManager::managerForDomain(
    std::string domain) {
  QM_DCHECK_MAIN_THREAD();
  return std::make_shared<HCNetworkReachabilityManager>(
      ns::NetworkReachability::forHostName(std::move(domain)), HCNetworkReachabilityAssociation::kForName);
}

std::shared_ptr<HCNetworkReachabilityManager> HCNetworkReachabilityManager::managerForAddress(
    const sockaddr* address) {
  QM_DCHECK(address != nullptr, "address is not null");
  return std::make_shared<HCNetworkReachabilityManager>(ns::NetworkReachability::forAddress(address),
                                                        HCNetworkReachabilityAssociation::kForAddress);
}

HCNetworkReachabilityManager::HCNetworkReachabilityManager(
    std::shared_ptr<ns::NetworkReachability> reachability, HCNetworkReachabilityAssociation association)
    : reachability_(std::move(reachability)), association_(association) {}

HCNetworkReachabilityManager::~HCNetworkReachabilityManager() {
  if (reachability_) {
    reachability_->unschedule();
  }
}

std::string HCNetworkReachabilityManager::localizedNetworkReachabilityStatusString() const {
  return HCReachabilityStatusText(networkReachabilityStatus());
}

ns::Value HCNetworkReachabilityManager::valueForKey(std::string_view key) const {
  if (key == kStatusKey) {
    return static_cast<int>(networkReachabilityStatus());
  }
  if (key == "reachable") {
    return isReachable();
  }
  if (key == "reachableViaWWAN") {
    return isReachableViaWWAN();
  }
  if (key == "reachableViaWiFi") {
    return isReachableViaWiFi();
  }
  return ns::KeyValueObservable::valueForKey(key);
}

void HCNetworkReachabilityManager::setStatus(HCNetworkReachabilityStatus status) {
  willChangeValueForKey(kStatusKey);
  for (const std::string_view key : kKeysFollowingStatus) {
    willChangeValueForKey(key);
  }
  status_ = status;
  for (const std::string_view key : kKeysFollowingStatus) {
    didChangeValueForKey(key);
  }
  didChangeValueForKey(kStatusKey);
}

std::function<void(HCNetworkReachabilityStatus)> HCNetworkReachabilityManager::statusCallback() {
  std::weak_ptr<HCNetworkReachabilityManager> weakSelf =
      std::static_pointer_cast<HCNetworkReachabilityManager>(shared_from_this());
  return [weakSelf](HCNetworkReachabilityStatus status) {
    const auto self = weakSelf.lock();
    if (!self) {
      return;
    }
    self->setStatus(status);
    if (self->statusBlock_) {
      self->statusBlock_(status);
    }
  };
}

void HCNetworkReachabilityManager::startMonitoring() {
  QM_DCHECK_MAIN_THREAD();
  stopMonitoring();
  if (!reachability_) {
    return;
  }
  auto callback = statusCallback();
  reachability_->setCallback([callback](ns::ReachabilityFlags flags) {
    const HCNetworkReachabilityStatus status = HCReachabilityStatusForFlags(flags);
    callback(status);
    ns::DispatchQueue::main().async([status] { postStatusChange(status); });
  });
  reachability_->scheduleWithCurrentRunLoop();
  if (association_ == HCNetworkReachabilityAssociation::kForName) {
    return;
  }
  // The first report holds the manager weakly: a manager released meanwhile sets no status and calls no
  // block, though the notification is still posted.
  ns::DispatchQueue::global().async([reachability = reachability_, callback] {
    const HCNetworkReachabilityStatus status =
        HCReachabilityStatusForFlags(reachability->flags().value_or(0));
    ns::DispatchQueue::main().async([callback, status] {
      callback(status);
      postStatusChange(status);
    });
  });
}

void HCNetworkReachabilityManager::stopMonitoring() {
  QM_DCHECK_MAIN_THREAD();
  if (reachability_) {
    reachability_->unschedule();
  }
}

}  // namespace http_client
