#pragma once

// QMServerHosts: the back-end hosts the application talks to, and the public page its background fetch
// probes. They are compiled in; the executable's --web-host flag (or a test) replaces the public web host
// before the first request, and a test points the probe at a server of its own.
//
// Thread-safety: main thread only.

#include <string>

namespace app {

class QMServerHosts {
 public:
  // The host, with an optional ":port", that every request of the shared client goes to.
  static const std::string& publicWebHost();
  // REQUIRES: called before the shared request manager is made (QMNetworkHelper::commonServerManager()).
  static void setPublicWebHost(std::string hostAndPort);

  // The plain-http URL of the public page a background fetch asks for.
  static const std::string& backgroundFetchPage();
  static void setBackgroundFetchPage(std::string url);
};

}  // namespace app
