#include "platform/outside/MachineNetwork.h"

#include <memory>
#include <utility>

#include "platform/foundation/check/Check.h"
#include "platform/net/MachineLink.h"
#include "platform/net/NetworkLink.h"
#include "platform/net/ReachabilityWatch.h"
#include "platform/outside/Reachability.h"

namespace outside {
namespace {

struct MachineState {
  std::unique_ptr<ns::ReachabilityWatch> watch;
  NetworkStatus status = NotReachable;
};

MachineState& state() {
  static MachineState shared;
  return shared;
}

// When the kernel cannot be asked (no descriptor left, say) the link is not known: loads go out and meet the
// network as it is, rather than being refused, and downloads paused, for a network that may well be there.
NetworkStatus readStatus() {
  switch (ns::machineLinkKind().value_or(ns::LinkKind::kWiFi)) {
    case ns::LinkKind::kNone:
      break;
    case ns::LinkKind::kCellular:
      return ReachableViaWWAN;
    case ns::LinkKind::kWiFi:
      return ReachableViaWiFi;
  }
  return NotReachable;
}

}  // namespace

void MachineNetwork::follow() {
  QM_DCHECK_MAIN_THREAD();
  if (isFollowed()) {
    return;
  }
  const NetworkStatus previous = Reachability::statusInForce();
  ns::NetworkLink::simulate(std::nullopt);
  state().watch = std::make_unique<ns::ReachabilityWatch>(ns::RunLoop::main(), &MachineNetwork::readAgain);
  state().status = readStatus();
  if (state().status != previous) {
    Reachability::postChangeFromStartedMonitors();
  }
}

bool MachineNetwork::isFollowed() {
  return state().watch != nullptr;
}

NetworkStatus MachineNetwork::status() {
  QM_DCHECK(isFollowed(), "the machine's network is followed");
  return state().status;
}

// The watch calls on every routing event, and on simulated changes too; only a new status is news.
void MachineNetwork::readAgain() {
  const NetworkStatus current = readStatus();
  if (current != std::exchange(state().status, current)) {
    Reachability::postChangeFromStartedMonitors();
  }
}

void MachineNetwork::stopFollowing() {
  state().watch.reset();
}

}  // namespace outside
