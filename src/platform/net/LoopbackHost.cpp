#include "platform/net/LoopbackHost.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstring>
#include <string>

namespace ns {

namespace {

bool isLoopbackIPv4(const in_addr& address) {
  return (ntohl(address.s_addr) >> 24) == 127;
}

bool isLoopbackIPv6(const in6_addr& address) {
  return IN6_IS_ADDR_LOOPBACK(&address);
}

}  // namespace

bool isLoopbackHost(std::string_view host) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  if (host == "localhost" || host.ends_with(".localhost")) {
    return true;
  }
  const std::string text(host);
  in_addr ipv4{};
  in6_addr ipv6{};
  return (inet_pton(AF_INET, text.c_str(), &ipv4) == 1 && isLoopbackIPv4(ipv4)) ||
         (inet_pton(AF_INET6, text.c_str(), &ipv6) == 1 && isLoopbackIPv6(ipv6));
}

bool isLoopbackAddress(const sockaddr* address) {
  if (address->sa_family == AF_INET) {
    sockaddr_in ipv4;
    std::memcpy(&ipv4, address, sizeof ipv4);
    return isLoopbackIPv4(ipv4.sin_addr);
  }
  if (address->sa_family == AF_INET6) {
    sockaddr_in6 ipv6;
    std::memcpy(&ipv6, address, sizeof ipv6);
    return isLoopbackIPv6(ipv6.sin6_addr);
  }
  return false;
}

}  // namespace ns
