#pragma once

// ns::NetworkReachability: a probe of whether a target (an address, a host name, or with the zero address
// the network as a whole) can be reached, and a watch that calls back when that changes.
//
// On Linux the flags come from the machine's link (MachineLink.h): kReachabilityFlagsReachable while a
// default route goes out over an interface that is up, with kReachabilityFlagsIsWWAN when that link is
// cellular (a loopback target adds kReachabilityFlagsIsLocalAddress and is always reachable). A simulated
// link (NetworkLink.h) stands in for the machine's: none makes every target but loopback unreachable,
// cellular adds kReachabilityFlagsIsWWAN. Changes are watched over a routing socket on the run loop the
// probe is scheduled on. Tests replace every answer with setFlagsForTesting().
//
// Thread-safety: flags() and setFlagsForTesting() may be called from any thread; the rest only on the thread
// of the loop the probe is (or is to be) scheduled on.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/ReachabilityFlags.h"

struct sockaddr;

namespace ns {

class ReachabilityWatch;

class NetworkReachability : public std::enable_shared_from_this<NetworkReachability> {
 public:
  enum class TargetKind { kAddress, kHostName };

  // Returns a probe of the IPv4 or IPv6 socket address `address` (the zero address stands for the network
  // as a whole). REQUIRES: address is not null.
  static std::shared_ptr<NetworkReachability> forAddress(const sockaddr* address);
  // Returns a probe of the host named `hostName`.
  static std::shared_ptr<NetworkReachability> forHostName(std::string hostName);
  ~NetworkReachability();

  TargetKind targetKind() const { return kind_; }

  // Returns the current flags, or nullopt when they cannot be read.
  std::optional<ReachabilityFlags> flags() const;

  // Sets the function called with the new flags on each change while scheduled. A host-name probe also
  // reports once on a turn of the loop soon after it is scheduled. Replaces an earlier callback.
  void setCallback(std::function<void(ReachabilityFlags)> callback);
  // Starts watching on the calling thread's run loop. Scheduling again while scheduled does nothing.
  void scheduleWithCurrentRunLoop();
  // Stops watching; the callback is kept but not called until scheduled again.
  void unschedule();

  // Makes every probe report `flags` instead of what the interfaces say, and tells each scheduled probe
  // about the change on its loop; nullopt returns to the interfaces' answer.
  static void setFlagsForTesting(std::optional<ReachabilityFlags> flags);

 private:
  NetworkReachability(TargetKind kind, bool isLoopback);
  void reportIfChanged();

  // Constant after construction
  const TargetKind kind_;
  const bool isLoopback_;

  std::function<void(ReachabilityFlags)> callback_;
  std::unique_ptr<ReachabilityWatch> watch_;
  std::optional<ReachabilityFlags> lastReported_;
};

}  // namespace ns
