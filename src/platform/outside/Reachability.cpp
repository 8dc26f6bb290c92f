#include "platform/outside/Reachability.h"

#include <vector>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/outside/MachineNetwork.h"
#include "platform/outside/SimulatedNetwork.h"

namespace outside {
namespace {

std::vector<std::weak_ptr<Reachability>>& startedMonitors() {
  static std::vector<std::weak_ptr<Reachability>> monitors;
  return monitors;
}

}  // namespace

std::shared_ptr<Reachability> Reachability::reachabilityForInternetConnection() {
  return std::shared_ptr<Reachability>(new Reachability());
}

void Reachability::startNotifier() {
  QM_DCHECK_MAIN_THREAD();
  if (notifierStarted_) {
    return;
  }
  notifierStarted_ = true;
  startedMonitors().push_back(std::static_pointer_cast<Reachability>(shared_from_this()));
}

NetworkStatus Reachability::currentReachabilityStatus() const {
  QM_DCHECK_MAIN_THREAD();
  return statusInForce();
}

NetworkStatus Reachability::statusInForce() {
  return MachineNetwork::isFollowed() ? MachineNetwork::status() : SimulatedNetwork::status();
}

void Reachability::postChangeFromStartedMonitors() {
  // The list is copied first, as observers may add to it, and the monitors gone since are dropped afterwards.
  const std::vector<std::weak_ptr<Reachability>> monitors = startedMonitors();
  for (const std::weak_ptr<Reachability>& weakMonitor : monitors) {
    if (std::shared_ptr<Reachability> monitor = weakMonitor.lock()) {
      ns::NotificationCenter::defaultCenter().postNotificationName(kReachabilityChangedNotification, monitor);
    }
  }
  std::erase_if(startedMonitors(),
                [](const std::weak_ptr<Reachability>& monitor) { return monitor.expired(); });
}

void Reachability::forgetStartedMonitorsForTesting() {
  startedMonitors().clear();
}

}  // namespace outside
