#pragma once

// Whether a host names this machine's loopback interface. Thread-safe: pure functions.

#include <string_view>

struct sockaddr;

namespace ns {

// Returns true for "localhost", a name ending in ".localhost", an IPv4 address in 127.0.0.0/8 and the IPv6
// address ::1 (with or without brackets).
bool isLoopbackHost(std::string_view host);

// Returns true for an IPv4 socket address in 127.0.0.0/8 and the IPv6 one of ::1. REQUIRES: address is not
// null.
bool isLoopbackAddress(const sockaddr* address);

}  // namespace ns
