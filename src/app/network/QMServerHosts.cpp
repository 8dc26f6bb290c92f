#include "app/network/QMServerHosts.h"

namespace {

std::string& publicWebHostSlot() {
  static std::string host = "web.quillmark.test";
  return host;
}

}  // namespace

const std::string& QMServerHosts::publicWebHost() {
  return publicWebHostSlot();
}

void QMServerHosts::setPublicWebHost(std::string hostAndPort) {
  publicWebHostSlot() = std::move(hostAndPort);
}
