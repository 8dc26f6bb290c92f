#include "http_client/HCFileURL.h"

#include "platform/net/HTTPHeaderFields.h"
#include "platform/net/PercentEscaping.h"

namespace http_client {

std::optional<std::string> HCFileSystemPathOfURL(const ns::URL& url) {
  if (!url.scheme() || !ns::equalsIgnoringCase(*url.scheme(), "file")) {
    return std::nullopt;
  }
  if (url.host() && !url.host()->empty() && !ns::equalsIgnoringCase(*url.host(), "localhost")) {
    return std::nullopt;
  }
  std::optional<std::string> path = ns::percentDecode(url.path());
  if (!path || !path->starts_with('/') || path->find('\0') != std::string::npos) {
    return std::nullopt;
  }
  return path;
}

}  // namespace http_client
