#include "platform/net/NetworkLink.h"

#include <set>

#include "platform/foundation/check/Mutex.h"
#include "platform/net/HTTPHeaderFields.h"
#include "platform/net/LoopbackHost.h"
#include "platform/net/ReachabilityWatch.h"

namespace ns {

namespace {

struct LinkState {
  ns::Mutex mutex;
  std::optional<LinkKind> simulated QM_GUARDED_BY(mutex);
  std::multiset<std::uint16_t> ownServerPorts QM_GUARDED_BY(mutex);
};

LinkState& state() {
  static LinkState* const shared = new LinkState();  // never destroyed: loads may ask while the process ends
  return *shared;
}

}  // namespace

std::optional<LinkKind> NetworkLink::simulated() {
  LinkState& link = state();
  ns::MutexLock lock(link.mutex);
  return link.simulated;
}

void NetworkLink::simulate(std::optional<LinkKind> kind) {
  {
    LinkState& link = state();
    ns::MutexLock lock(link.mutex);
    if (link.simulated == kind) {
      return;
    }
    link.simulated = kind;
  }
  ReachabilityWatch::notifyAll();
}

bool NetworkLink::allowsConnection(std::string_view host, std::uint16_t port) {
  LinkState& link = state();
  ns::MutexLock lock(link.mutex);
  if (link.simulated != LinkKind::kNone) {
    return true;
  }
  return link.ownServerPorts.contains(port) && isLoopbackHost(host);
}

bool NetworkLink::allowsLoad(const URL& url) {
  const bool secure = url.scheme() && equalsIgnoringCase(*url.scheme(), "https");
  const int port = url.port().value_or(secure ? 443 : 80);
  if (!url.host() || port < 0 || port > 0xffff) {
    return true;
  }
  return allowsConnection(*url.host(), static_cast<std::uint16_t>(port));
}

NetworkLink::OwnServerPort::OwnServerPort(std::uint16_t port) : port_(port) {
  LinkState& link = state();
  ns::MutexLock lock(link.mutex);
  link.ownServerPorts.insert(port_);
}

NetworkLink::OwnServerPort::~OwnServerPort() {
  LinkState& link = state();
  ns::MutexLock lock(link.mutex);
  link.ownServerPorts.erase(link.ownServerPorts.find(port_));
}

}  // namespace ns
