#include "platform/outside/NetworkStatus.h"

namespace outside {

std::optional<NetworkStatus> networkStatusFromName(std::string_view name) {
  if (name == "none") {
    return NotReachable;
  }
  if (name == "cellular") {
    return ReachableViaWWAN;
  }
  if (name == "wifi") {
    return ReachableViaWiFi;
  }
  return std::nullopt;
}

}  // namespace outside
