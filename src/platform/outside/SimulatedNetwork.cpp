#include "platform/outside/SimulatedNetwork.h"

#include <cstdlib>
#include <optional>

#include "platform/foundation/check/Check.h"
#include "platform/net/NetworkLink.h"
#include "platform/outside/Reachability.h"

namespace outside {
namespace {

struct NetworkState {
  std::optional<NetworkStatus> chosen;
  std::vector<std::weak_ptr<Reachability>> startedMonitors;
};

NetworkState& state() {
  static NetworkState shared;
  return shared;
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
  NetworkState& current = state();
  if (!current.chosen) {
    current.chosen = statusFromEnvironment();
    ns::NetworkLink::simulate(linkKindOf(*current.chosen));
  }
  return *current.chosen;
}

void SimulatedNetwork::setStatus(NetworkStatus status) {
  QM_DCHECK_MAIN_THREAD();
  const NetworkStatus previous = SimulatedNetwork::status();
  state().chosen = status;
  ns::NetworkLink::simulate(linkKindOf(status));
  if (previous == status) {
    return;
  }
  // A monitor's observers may start or release monitors while hearing of the change, so the list is
  // copied first and the monitors gone since are dropped afterwards.
  const std::vector<std::weak_ptr<Reachability>> monitors = state().startedMonitors;
  for (const std::weak_ptr<Reachability>& weakMonitor : monitors) {
    if (std::shared_ptr<Reachability> monitor = weakMonitor.lock()) {
      monitor->postChange();
    }
  }
  std::erase_if(state().startedMonitors,
                [](const std::weak_ptr<Reachability>& monitor) { return monitor.expired(); });
}

void SimulatedNetwork::resetForTesting() {
  state() = NetworkState{};
  ns::NetworkLink::simulate(std::nullopt);
}

void SimulatedNetwork::addStartedMonitor(const std::shared_ptr<Reachability>& monitor) {
  state().startedMonitors.push_back(monitor);
}

}  // namespace outside
