#pragma once

// outside::Reachability: the network reachability framework that the application loads from outside. A
// monitor answers the current network status (NetworkStatus.h) and, once its notifier is started, posts
// kReachabilityChangedNotification through the default notification centre, with itself as object, on each
// change of status. Observers ask the monitor for the new status; the notification carries none.
//
// The status comes from the link in force: the machine's own network while MachineNetwork follows it, else
// SimulatedNetwork, which the command line and tests set.
//
// Thread-safety: main thread only; notifications are posted on the main thread.

#include <memory>

#include "platform/foundation/values/Object.h"
#include "platform/outside/NetworkStatus.h"

namespace outside {

inline constexpr char kReachabilityChangedNotification[] = "kReachabilityChangedNotification";

class Reachability : public ns::Object {
 public:
  // Returns a new monitor of general internet reachability. Its notifier is not started.
  static std::shared_ptr<Reachability> reachabilityForInternetConnection();

  // Starts posting change notifications; starting again does nothing. The monitor stops when released.
  void startNotifier();
  bool isNotifierStarted() const { return notifierStarted_; }

  // Returns the status now; never cached, so each call sees the latest change.
  NetworkStatus currentReachabilityStatus() const;

 private:
  friend class SimulatedNetwork;
  friend class MachineNetwork;

  // The status of the link in force.
  static NetworkStatus statusInForce();
  // Every started monitor that still lives posts a change. Observers may start or release monitors while
  // they hear of it.
  static void postChangeFromStartedMonitors();
  // Forgets the started monitors, as a new process would start.
  static void forgetStartedMonitorsForTesting();

  Reachability() = default;

  bool notifierStarted_ = false;
};

}  // namespace outside
