#include "platform/outside/SimulatedNetwork.h"

#include <cstdlib>
#include <optional>

#include "platform/foundation/check/Check.h"
#include "platform/net/NetworkLink.h"
#include "platform/outside/MachineNetwork.h"
#include "platform/outside/Reachability.h"

namespace outside {
namespace {

std::optional<NetworkStatus>& chosenStatus() {
  static std::optional<NetworkStatus> chosen;
  return chosen;
}

ns::LinkKind linkKindOf(NetworkStatus status) {
  switch (status) {
    case NotReachable:
      return ns::LinkKind::kNone;
    case ReachableViaWWAN:
      return ns::LinkKind::kCellular;
    case ReachableViaWiFi:
      break;
  }
  return ns::LinkKind::kWiFi;
}

NetworkStatus statusFromEnvironment() {
  const char* name = std::getenv("QUILLMARK_NETWORK");
  if (name == nullptr) {
    return ReachableViaWiFi;
  }
  return networkStatusFromName(name).value_or(ReachableViaWiFi);
}

}  // namespace

NetworkStatus SimulatedNetwork::status() {
  std::optional<NetworkStatus>& chosen = chosenStatus();
  if (!chosen) {
    chosen = statusFromEnvironment();
    ns::NetworkLink::simulate(linkKindOf(*chosen));
  }
  return *chosen;
}

void SimulatedNetwork::setStatus(NetworkStatus status) {
  QM_DCHECK_MAIN_THREAD();
  const NetworkStatus previous = Reachability::statusInForce();
  MachineNetwork::stopFollowing();
  chosenStatus() = status;
  ns::NetworkLink::simulate(linkKindOf(status));
  if (previous != status) {
    Reachability::postChangeFromStartedMonitors();
  }
}

void SimulatedNetwork::resetForTesting() {
  MachineNetwork::stopFollowing();
  chosenStatus().reset();
  Reachability::forgetStartedMonitorsForTesting();
  ns::NetworkLink::simulate(std::nullopt);
}

}  // namespace outside
