#include "platform/outside/Reachability.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/outside/SimulatedNetwork.h"

namespace outside {

std::shared_ptr<Reachability> Reachability::reachabilityForInternetConnection() {
  return std::shared_ptr<Reachability>(new Reachability());
}

void Reachability::startNotifier() {
  QM_DCHECK_MAIN_THREAD();
  if (notifierStarted_) {
    return;
  }
  notifierStarted_ = true;
  SimulatedNetwork::addStartedMonitor(std::static_pointer_cast<Reachability>(shared_from_this()));
}

NetworkStatus Reachability::currentReachabilityStatus() const {
  QM_DCHECK_MAIN_THREAD();
  return SimulatedNetwork::status();
}

void Reachability::postChange() {
  ns::NotificationCenter::defaultCenter().postNotificationName(kReachabilityChangedNotification,
                                                               shared_from_this());
}

}  // namespace outside
