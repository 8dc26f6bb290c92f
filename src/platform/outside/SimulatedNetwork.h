#pragma once

// outside::SimulatedNetwork: the link the device is on, as this stand-in sees it. A phone notices when it
// loses Wi-Fi or falls back to cellular; here the status is chosen by the person or test that runs the
// program: --network (or QUILLMARK_NETWORK) at start, and setStatus() while it runs. The default is Wi-Fi.
//
// The status is the network link's (ns::NetworkLink) as well, so it is real: with no network, URL loads and
// sockets reach only the device's own servers. Every reachability monitor whose notifier is started hears of
// each change (Reachability.h).
//
// Thread-safety: main thread only, like the monitors it serves.

#include <memory>
#include <vector>

#include "platform/outside/NetworkStatus.h"

namespace outside {

class Reachability;

class SimulatedNetwork {
 public:
  // Returns the current status: the last one set, else the one QUILLMARK_NETWORK names, else Wi-Fi (also
  // when QUILLMARK_NETWORK names no status). The first call sets the network link to it.
  static NetworkStatus status();

  // Makes `status` current, on the network link too. When it differs from the previous one, every started
  // monitor posts kReachabilityChangedNotification before this returns.
  static void setStatus(NetworkStatus status);

  // Forgets the status set and the monitors started, as a new process would start, and returns the network
  // link to the machine's own network.
  static void resetForTesting();

 private:
  friend class Reachability;

  // Adds a monitor that hears of changes for as long as it lives.
  static void addStartedMonitor(const std::shared_ptr<Reachability>& monitor);
};

}  // namespace outside
