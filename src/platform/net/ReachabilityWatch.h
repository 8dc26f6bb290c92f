#pragma once

// ns::ReachabilityWatch: a watch of the network's changes, for whatever must look again when they come: a
// scheduled NetworkReachability, and the connections that end when the link no longer carries them (URL
// loading's engine, run-loop sockets). It keeps a routing socket that reports interface, address and route
// changes on the loop, and an entry in the process-wide list that NetworkLink::simulate() and
// NetworkReachability::setFlagsForTesting() tell about simulated changes.
// Thread-safety: made and destroyed on its loop's thread; notifyAll() may be called from any thread.

#include <functional>
#include <memory>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/OwnedDescriptor.h"

namespace ns {

class ReachabilityWatch {
 public:
  // Calls `onChange` on `loop` (the calling thread's loop) whenever the interfaces may have changed or
  // notifyAll() is called, until destroyed.
  ReachabilityWatch(RunLoop& loop, std::function<void()> onChange);
  ~ReachabilityWatch();
  ReachabilityWatch(const ReachabilityWatch&) = delete;
  ReachabilityWatch& operator=(const ReachabilityWatch&) = delete;

  // Posts the change callback of every live watch to its loop.
  static void notifyAll();

  // A watch as the process-wide list holds it; defined with the list.
  struct Entry;

 private:
  void drainRoutingSocket();

  // Constant after construction
  RunLoop& loop_;
  const std::shared_ptr<Entry> entry_;
  const OwnedDescriptor routingSocket_;                  // invalid when the system gave none
  std::unique_ptr<FileDescriptorSource> routingSource_;  // declared after the socket, so it goes first
};

}  // namespace ns
