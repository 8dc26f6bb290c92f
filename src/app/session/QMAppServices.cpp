#include "app/session/QMAppServices.h"

#include "platform/foundation/check/Check.h"

namespace app {

namespace {

struct InstalledServices {
  std::shared_ptr<outside::Reachability> reachability;
  std::function<void()> pauseAllDownloads;
  std::function<void()> reloadRootController;
};

InstalledServices& installed() {
  static InstalledServices services;
  return services;
}

}  // namespace

const std::shared_ptr<outside::Reachability>& QMAppServices::myReachable() {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<outside::Reachability>& reachability = installed().reachability;
  if (!reachability) {
    reachability = outside::Reachability::reachabilityForInternetConnection();
  }
  return reachability;
}

void QMAppServices::setDownloadPauser(std::function<void()> pauseAllDownloads) {
  QM_DCHECK_MAIN_THREAD();
  installed().pauseAllDownloads = std::move(pauseAllDownloads);
}

void QMAppServices::setRootRebuilder(std::function<void()> reloadRootController) {
  QM_DCHECK_MAIN_THREAD();
  installed().reloadRootController = std::move(reloadRootController);
}

void QMAppServices::pauseAllDownloads() {
  QM_DCHECK_MAIN_THREAD();
  if (installed().pauseAllDownloads) {
    installed().pauseAllDownloads();
  }
}

void QMAppServices::reloadRootController() {
  QM_DCHECK_MAIN_THREAD();
  if (installed().reloadRootController) {
    installed().reloadRootController();
  }
}

void QMAppServices::resetForTesting() {
  QM_DCHECK_MAIN_THREAD();
  installed() = InstalledServices{};
}

}  // namespace app
