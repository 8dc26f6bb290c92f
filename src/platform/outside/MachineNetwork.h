#pragma once

// outside::MachineNetwork: the machine's own network, for the reachability monitors while it is the link in
// force (follow()). Its status is the kernel's link (ns::machineLinkKind(): a default route over an
// interface that is up; cellular over a mobile-broadband interface, else Wi-Fi), read when following
// starts and again whenever the main loop hears a routing or link event, so that every started monitor
// posts its change notification as the machine's network changes.
//
// The link in force is either this one or the simulated one (SimulatedNetwork.h): SimulatedNetwork::
// setStatus() stops following the machine, and follow() ends the simulation, so that URL loads and sockets
// meet the machine's network as it is.
//
// Thread-safety: main thread only, like the monitors it serves.

#include "platform/outside/NetworkStatus.h"

namespace outside {

class MachineNetwork {
 public:
  // Makes the machine's network the link in force, from now until SimulatedNetwork::setStatus(). When its
  // status differs from the one in force before, every started monitor posts a change before this returns.
  static void follow();

  static bool isFollowed();

  // Returns the machine's status as last read (ReachableViaWiFi when the kernel could not be asked: the link
  // is not known, and loads go out to find it). REQUIRES: isFollowed().
  static NetworkStatus status();

 private:
  friend class SimulatedNetwork;

  // Stops watching the machine's network; the simulated link is in force again.
  static void stopFollowing();
  // Reads the machine's status again, and has the started monitors post when it changed.
  static void readAgain();
};

}  // namespace outside
