#pragma once

// QMServerHosts: the back-end hosts the application talks to. They are compiled in; the executable's
// --web-host flag (or a test) replaces the public web host before the first request.
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
};

}  // namespace app
