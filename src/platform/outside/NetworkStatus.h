#pragma once

// The network status that the reachability framework reports, and its names on the command line. The
// numbers are fixed: callers compare the status with 0, 1 and 2.
// Thread-safe: constants and a pure function.

#include <optional>
#include <string_view>

namespace outside {

enum NetworkStatus : int {
  // No network at all.
  NotReachable = 0,
  // Reachable over the cellular network, a metered link.
  ReachableViaWWAN = 1,
  // Reachable over Wi-Fi.
  ReachableViaWiFi = 2,
};

// Returns the status named "none", "cellular" or "wifi" (the values of --network and QUILLMARK_NETWORK),
// or std::nullopt for any other text.
std::optional<NetworkStatus> networkStatusFromName(std::string_view name);

}  // namespace outside
