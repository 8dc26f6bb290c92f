#pragma once

// av::PlayerItemErrorLogEvent: one load of a player item's playlist, key or segment that failed.
// Thread-safety: a value.

#include <cstdint>
#include <optional>
#include <string>

namespace av {

struct PlayerItemErrorLogEvent {
  // The URL that failed, when the failure names it.
  std::optional<std::string> URI;
  // The numeric address of the server that answered; nullopt when the load reached no server.
  std::optional<std::string> serverAddress;
  // The HTTP status of an HTTP failure; the failure's own code for a transport failure.
  std::int64_t errorStatusCode = 0;
  // kCoreMediaErrorDomain for an HTTP failure, kCFErrorDomainCFNetwork for a transport failure.
  std::string errorDomain;
  // A short description of the failure.
  std::string errorComment;
};

}  // namespace av
