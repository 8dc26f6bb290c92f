#pragma once

// ns::NetworkLink: the link the device's traffic goes out on, as URL loading and sockets meet it. Left
// alone it is the machine's own network, and every connection may go out. A simulation (the outside layer's
// SimulatedNetwork, which --network and the terminal's network command set) makes it Wi-Fi, cellular or
// none. With none, a connection reaches only the device's own servers: a loopback host ("localhost",
// 127.0.0.0/8, ::1) on a port that an own server holds (OwnServerPort). Everything else is outside, a server
// on 127.0.0.1 that the application does not run itself included: it stands for a remote machine.
//
// URL loads and sockets ask before they connect. Those that stay connected keep a ReachabilityWatch, which
// tells them on their loop when the link changes, so that a connection the link no longer carries ends as it
// does on a phone that loses its network. Reachability probes (NetworkReachability.h) report the simulated
// link too.
//
// Thread-safety: every function may be called from any thread.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/net/URL.h"

namespace ns {

enum class LinkKind { kNone, kCellular, kWiFi };

class NetworkLink {
 public:
  // Returns the simulated link, or nullopt while no simulation is set.
  static std::optional<LinkKind> simulated();
  // Sets the simulated link; nullopt returns to the machine's own network. On a change, every live
  // ReachabilityWatch hears of it on its loop.
  static void simulate(std::optional<LinkKind> kind);

  // Returns whether a connection to `host` (a name, or an address, an IPv6 one with or without brackets) on
  // `port` may go out now.
  static bool allowsConnection(std::string_view host, std::uint16_t port);
  // Returns whether a load of `url` may go out now: its host on its port, or on the scheme's default port
  // (443 for https, else 80) when it names none. A URL without a host or with an impossible port is
  // left to the loader to refuse.
  static bool allowsLoad(const URL& url);

  // Holds `port` for an own server while it lives: loopback connections to it go through whatever the link.
  class OwnServerPort {
   public:
    explicit OwnServerPort(std::uint16_t port);
    ~OwnServerPort();
    OwnServerPort(const OwnServerPort&) = delete;
    OwnServerPort& operator=(const OwnServerPort&) = delete;

   private:
    // Constant after construction
    const std::uint16_t port_;
  };
};

}  // namespace ns
