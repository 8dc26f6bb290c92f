// Prints the status of the machine's own network as a reachability monitor of the application sees it: one
// line with the status at start, then one line with the status at each change notification. The
// reachability tests run it inside a network namespace of their own and change the namespace's links and
// routes around it. It runs until it is killed.

#include <cstdio>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/outside/MachineNetwork.h"
#include "platform/outside/Reachability.h"

int main() {
  outside::MachineNetwork::follow();
  const auto monitor = outside::Reachability::reachabilityForInternetConnection();
  monitor->startNotifier();
  const auto printStatus = [&monitor] {
    std::printf("%d\n", static_cast<int>(monitor->currentReachabilityStatus()));
    std::fflush(stdout);
  };
  // Observed for the life of the program.
  ns::NotificationCenter::defaultCenter().addObserverForName(
      outside::kReachabilityChangedNotification, nullptr, nullptr,
      [&printStatus](const ns::Notification&) { printStatus(); });
  printStatus();
  ns::RunLoop::main().run();
  return 0;
}
