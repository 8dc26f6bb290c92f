#pragma once

// Looking up the IPv4 address of a host name with the system's resolver (files, DNS), as the platform's
// host lookup does. Blocks the calling thread until the resolver answers.
// Thread-safe: a pure function over the system resolver.

#include <optional>
#include <string>
#include <string_view>

namespace ns {

// Returns the first IPv4 address of `hostName` in dotted-decimal form ("127.0.0.1"), or std::nullopt when
// the name does not resolve to any IPv4 address. A dotted-decimal `hostName` is returned as it reads.
std::optional<std::string> firstIPv4AddressOfHost(std::string_view hostName);

}  // namespace ns
