#pragma once

// HCNetworkReachabilityManager: watches whether a host, an address or the network as a whole can be
// reached, and reports each change of status to a block and as the notification
// kHCNetworkingReachabilityDidChangeNotification. A manager reports nothing until startMonitoring(); until
// its first report its status is kUnknown.
//
// The status is key-value observable under "networkReachabilityStatus", and so are "reachable",
// "reachableViaWWAN" and "reachableViaWiFi", which follow it.
//
// Thread-safety: monitoring, the block and the notification live on the main thread; call startMonitoring()
// and stopMonitoring() there. The status may be read from any thread.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/notify/KeyValueObservable.h"
#include "platform/foundation/values/Object.h"
#include "platform/net/NetworkReachability.h"

namespace http_client {

inline constexpr char kHCNetworkingReachabilityDidChangeNotification[] =
    "com.httpclient.networking.reachability.change";
// User-info key of the notification: the new status as an integer.
inline constexpr char kHCNetworkingReachabilityNotificationStatusItem[] =
    "HCNetworkingReachabilityNotificationStatusItem";

enum class HCNetworkReachabilityStatus : int {
  kUnknown = -1,
  kNotReachable = 0,
  kReachableViaWWAN = 1,
  kReachableViaWiFi = 2,
};

// What a manager's probe was made from.
enum class HCNetworkReachabilityAssociation : unsigned {
  kForReachability = 0,  // a probe handed to the constructor
  kForAddress = 1,
  kForName = 3,
};

// Returns "Unknown", "Not Reachable", "Reachable via WWAN" or "Reachable via WiFi"; any value outside the
// enumeration reads as "Unknown".
std::string HCReachabilityStatusText(HCNetworkReachabilityStatus status);

// Returns the status that reachability `flags` mean: not reachable without the reachable flag, or when a
// connection is required that cannot be made without the user; else WWAN when the flags say so, else Wi-Fi.
HCNetworkReachabilityStatus HCReachabilityStatusForFlags(ns::ReachabilityFlags flags);

class HCNetworkReachabilityManager : public ns::Object, public ns::KeyValueObservable {
 public:
  using StatusBlock = std::function<void(HCNetworkReachabilityStatus status)>;

  // Returns the process-wide manager of the zero IPv4 address (the network as a whole), made on first use.
  static std::shared_ptr<HCNetworkReachabilityManager> sharedManager();
  // Returns a new manager of the host named `domain`.
  static std::shared_ptr<HCNetworkReachabilityManager> managerForDomain(std::string domain);
  // Returns a new manager of the IPv4 or IPv6 socket address `address`. REQUIRES: address is not null.
  static std::shared_ptr<HCNetworkReachabilityManager> managerForAddress(const sockaddr* address);

  // A manager of `reachability`, which it owns from now on (nullptr: a manager that never reports).
  explicit HCNetworkReachabilityManager(
      std::shared_ptr<ns::NetworkReachability> reachability,
      HCNetworkReachabilityAssociation association = HCNetworkReachabilityAssociation::kForReachability);
  // Stops monitoring.
  ~HCNetworkReachabilityManager() override;

  const std::shared_ptr<ns::NetworkReachability>& networkReachability() const { return reachability_; }
  HCNetworkReachabilityAssociation networkReachabilityAssociation() const { return association_; }
  HCNetworkReachabilityStatus networkReachabilityStatus() const { return status_.load(); }
  bool isReachable() const { return isReachableViaWWAN() || isReachableViaWiFi(); }
  bool isReachableViaWWAN() const {
    return networkReachabilityStatus() == HCNetworkReachabilityStatus::kReachableViaWWAN;
  }
  bool isReachableViaWiFi() const {
    return networkReachabilityStatus() == HCNetworkReachabilityStatus::kReachableViaWiFi;
  }
  // HCReachabilityStatusText() of the current status.
  std::string localizedNetworkReachabilityStatusString() const;

  // Sets the block called with each new status, after the status is stored; an empty block clears it.
  void setReachabilityStatusChangeBlock(StatusBlock block) { statusBlock_ = std::move(block); }

  // Starts reporting changes on the main run loop. Unless the manager watches a host name, the current
  // status is also read at once off the main thread and reported on the main queue. Starting again restarts.
  // REQUIRES: called on the main thread.
  void startMonitoring();
  // Stops reporting; the status keeps its last value. REQUIRES: called on the main thread.
  void stopMonitoring();

  ns::Value valueForKey(std::string_view key) const override;

 private:
  // Returns the function that stores a status and calls the block, holding this manager weakly.
  std::function<void(HCNetworkReachabilityStatus)> statusCallback();
  void setStatus(HCNetworkReachabilityStatus status);

  // Constant after construction
  const std::shared_ptr<ns::NetworkReachability> reachability_;
  const HCNetworkReachabilityAssociation association_;

  std::atomic<HCNetworkReachabilityStatus> status_{HCNetworkReachabilityStatus::kUnknown};
  StatusBlock statusBlock_;  // Main thread only
};

}  // namespace http_client
