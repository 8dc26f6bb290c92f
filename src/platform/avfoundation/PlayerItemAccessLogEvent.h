#pragma once

// av::PlayerItemAccessLogEvent: one segment that a player item fetched. Thread-safety: a value.

#include <optional>
#include <string>

namespace av {

struct PlayerItemAccessLogEvent {
  // The segment's URL.
  std::string URI;
  // The numeric address of the server that sent the segment; nullopt when unknown.
  std::optional<std::string> serverAddress;
};

}  // namespace av
