#include "app/network/ZBHost.h"

#include "platform/net/HostAddressLookup.h"
#include "platform/net/URL.h"

namespace app {

std::optional<std::string> ZBHost::ipAddressFromHost(std::string_view text) {
  std::optional<ns::URL> url = ns::URL::fromString(text);
  const std::string host = url && url->host() ? *url->host() : std::string(text);
  return ns::firstIPv4AddressOfHost(host);
}

}  // namespace app
