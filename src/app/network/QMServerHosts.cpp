#include "app/network/QMServerHosts.h"

#include "platform/foundation/check/Check.h"

namespace app {

namespace {

std::string& publicWebHostSlot() {
  static std::string host = "web.quillmark.test";
  return host;
}

std::string& backgroundFetchPageSlot() {
  static std::string url = "http://www.quillmark.test/";
  return url;
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

const std::string& QMServerHosts::backgroundFetchPage() {
  QM_DCHECK_MAIN_THREAD();
  return backgroundFetchPageSlot();
}

void QMServerHosts::setBackgroundFetchPage(std::string url) {
  QM_DCHECK_MAIN_THREAD();
  backgroundFetchPageSlot() = std::move(url);
}

}  // namespace app
