#pragma once

// ZBHost: resolves a host name, or the host of a URL, to an IPv4 address.
// Thread-safe; blocks the calling thread while the resolver works.

#include <optional>
#include <string>
#include <string_view>

namespace app {

class ZBHost {
 public:
  // Returns the first IPv4 address, dotted-decimal, of the host of `text` read as a URL, or of `text` itself
  // when it names no host. Returns std::nullopt when the name does not resolve.
  static std::optional<std::string> ipAddressFromHost(std::string_view text);
};

}  // namespace app
