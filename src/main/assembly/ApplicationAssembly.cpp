#include "main/assembly/ApplicationAssembly.h"

#include "app/network/QMServerHosts.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/CoursePlaceholderController.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/user/QMUserStoryboard.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "learning/player/RunLoopSocketModel.h"
#include "main/assembly/HomeFolderCheck.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/app/Application.h"

namespace assembly {

namespace {

ns::Error backendCannotStart(const ns::Error& why) {
  return ns::Error(kAssemblyErrorDomain, static_cast<int>(AssemblyErrorCode::kBackendCannotStart),
                   {{std::string(ns::kLocalizedDescriptionKey),
                     "the sample back end cannot start: " + why.localizedDescription()}});
}

}  // namespace

ns::Result<std::unique_ptr<ApplicationAssembly>> ApplicationAssembly::launch(const Settings& settings) {
  if (settings.home) {
    ns::Sandbox::setHomeDirectory(*settings.home);
  }
  const std::string home = ns::Sandbox::homeDirectory();
  if (ns::Status usable = checkHomeFolder(home); !usable.ok()) {
    return usable.error();
  }
  // The link is set before anything connects: from the settings, else from the environment.
  if (settings.network) {
    outside::SimulatedNetwork::setStatus(*settings.network);
  } else {
    static_cast<void>(outside::SimulatedNetwork::status());
  }
  std::unique_ptr<sample_backend::SampleBackend> backend;
  if (settings.webHost) {
    app::QMServerHosts::setPublicWebHost(settings.webHost->text());
  } else {
    sample_backend::SampleBackend::Options options;
    options.stateFolder = home + "/" + kBackendStateFolderName;
    ns::Result<std::unique_ptr<sample_backend::SampleBackend>> started =
        sample_backend::SampleBackend::start(options);
    if (!started.ok()) {
      return backendCannotStart(started.error());
    }
    backend = std::move(started).value();
    app::QMServerHosts::setPublicWebHost(backend->webHost());
  }
  if (settings.statsServer) {
    learning::RunLoopSocketModel::setServerAddress(settings.statsServer->host, *settings.statsServer->port);
  } else if (backend) {
    learning::RunLoopSocketModel::setServerAddress("127.0.0.1", backend->statisticsPort());
  }

  connectParts();
  uikit::Application::sharedApplication().launch(std::make_shared<app::AppDelegate>());
  return std::unique_ptr<ApplicationAssembly>(new ApplicationAssembly(std::move(backend)));
}

ApplicationAssembly::~ApplicationAssembly() {
  uikit::Application::sharedApplication().terminate();
}

void ApplicationAssembly::connectParts() {
  app::QMAppServices::setDownloadPauser([] { learning::QMDownloadHelper::sharedInstance()->pauseAll(); });
  app::QMCoreDataHelper::sharedInstance().setUserIdSource(
      [] { return app::QMUser::sharedInstance()->userId(); });
  app::QMUserStoryboard::registerScenes();
  app::CoursePlaceholderController::registerScenes();
}

}  // namespace assembly
