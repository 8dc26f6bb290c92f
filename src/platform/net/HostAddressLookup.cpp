#include "platform/net/HostAddressLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>

namespace ns {

std::optional<std::string> firstIPv4AddressOfHost(std::string_view hostName) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(std::string(hostName).c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> results(found, &freeaddrinfo);
  char text[INET_ADDRSTRLEN];
  const auto* address = reinterpret_cast<const sockaddr_in*>(results->ai_addr);
  if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) == nullptr) {
    return std::nullopt;
  }
  return std::string(text);
}

}  // namespace ns
