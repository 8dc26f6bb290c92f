#pragma once

// av::PlayerItemAccessLogEvent: one segment that a player item fetched. Thread-safety: a value.

#include <optional>
#include <string>

namespace av {

struct PlayerItemAccessLogEvent {
  // The segment's URL.
  std::string URI;
  // The IPv4 address of the segment's server; nullopt when its host does not resolve.
  std::optional<std::string> serverAddress;
};

}  // namespace av
