#include "app/network/QMServerHosts.h"

#include "platform/foundation/check/Check.h"

namespace app {

namespace {

std::string& publicWebHostSlot() {
  static std::string host = "web.quillmark.test";
  return host;
}

}  // namespace

const std::string& QMServerHosts::publicWebHost() {
  QM_DCHECK_MAIN_THREAD();
  return publicWebHostSlot();
}

void QMServerHosts::setPublicWebHost(std::string hostAndPort) {
  QM_DCHECK_MAIN_THREAD();
  publicWebHostSlot() = std::move(hostAndPort);
}

}  // namespace app
