#pragma once

// HostAndPort: a server address as the command line gives it: "HOST", "HOST:PORT", or "[IPv6]:PORT".
// Thread-safe as a value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Result.h"

namespace terminal {

struct HostAndPort {
  enum class Port { kOptional, kRequired };

  std::string host;
  std::optional<std::uint16_t> port;

  // Returns the address `text` names, or an error (kUsageErrorDomain) saying what is wrong: a scheme such
  // as "http://" in front (the message says to drop it), an empty host, a host with a character no host
  // name or address holds (a space, a slash, ...), a port that is not a number from 1 to 65535, or a
  // missing port when `port` is kRequired. A host name holds ASCII letters, digits, "-", "_" and "."; an
  // IPv6 address in brackets, hexadecimal digits, ":" and ".".
  static ns::Result<HostAndPort> parse(std::string_view text, Port port);

  // "HOST" or "HOST:PORT", the form the request layer and URLs take.
  std::string text() const;
};

}  // namespace terminal
