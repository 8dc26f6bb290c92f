#pragma once

// outside::SimulatedNetwork: the link the device is on, as this stand-in sees it. A phone notices when it
// loses Wi-Fi or falls back to cellular; here the status is chosen by the person or test that runs the
// program: --network (or QUILLMARK_NETWORK) at start, and setStatus() while it runs. The default is Wi-Fi.
// It is the link in force unless the machine's own network is followed (MachineNetwork.h), and becomes it
// again with setStatus().
//
// The status is the network link's (ns::NetworkLink) as well, so it is real: with no network, URL loads and
// sockets reach only the device's own servers. Every reachability monitor whose notifier is started hears of
// each change (Reachability.h).
//
// Thread-safety: main thread only, like the monitors it serves.

#include "platform/outside/NetworkStatus.h"

namespace outside {

class SimulatedNetwork {
 public:
  // Returns the current status: the last one set, else the one QUILLMARK_NETWORK names, else Wi-Fi (also
  // when QUILLMARK_NETWORK names no status). The first call sets the network link to it.
  static NetworkStatus status();

  // Makes `status` current and the simulated link the one in force, on the network link too. When it
  // differs from the status in force before, every started monitor posts kReachabilityChangedNotification
  // before this returns.
  static void setStatus(NetworkStatus status);

  // Forgets the status set, the machine's network followed and the monitors started, as a new process would
  // start, and returns the network link to the machine's own network.
  static void resetForTesting();
};

}  // namespace outside
