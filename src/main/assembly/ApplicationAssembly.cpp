#include "main/assembly/ApplicationAssembly.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/menu/QMMenuScenes.h"
#include "app/network/QMNetworkHelper.h"
#include "app/network/QMServerHosts.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "app/settings/QMMoreStoryboard.h"
#include "app/shell/AppDelegate.h"
#include "app/store/ConsoleLog.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/user/QMUserStoryboard.h"
#include "http_client/HCURLConnectionOperation.h"
#include "learning/cache/QMCacheStoryboard.h"
#include "learning/course/QMCourseStoryboard.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "learning/live/QMLiveStoryboard.h"
#include "learning/player/RunLoopSocketModel.h"
#include "learning/subject/QMSubjectStoryboard.h"
#include "main/assembly/HomeFolderCheck.h"
#include "main/terminal/ConsoleLogFile.h"
#include "platform/avfoundation/sound/SoundOutput.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/OperationQueue.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/net/LoopbackHost.h"
#include "platform/net/URLError.h"
#include "platform/outside/MachineNetwork.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/SystemVolume.h"
#include "platform/uikit/render/VisibleScreen.h"

namespace assembly {

namespace {

// How long the end waits for the cancelled requests to end: a cancel ends a request at once, unless the
// machine is very busy.
constexpr auto kRequestEndTimeout = std::chrono::seconds(5);

ns::Error backendCannotStart(const ns::Error& why) {
  return ns::Error(kAssemblyErrorDomain, static_cast<int>(AssemblyErrorCode::kBackendCannotStart),
                   {{std::string(ns::kLocalizedDescriptionKey),
                     "the sample back end cannot start: " + why.localizedDescription()}});
}

// The folders of the home that the application writes into, besides the home itself (the prompt's history,
// the console log).
std::vector<std::string> foldersWrittenInto(const std::string& home, bool embeddedBackend) {
  std::vector<std::string> folders = {ns::Sandbox::documentsDirectory(), ns::Sandbox::preferencesDirectory(),
                                      ns::Sandbox::cachesDirectory(), ns::Sandbox::temporaryDirectory(),
                                      ns::Sandbox::pasteboardsDirectory()};
  if (embeddedBackend) {
    folders.push_back(home + "/" + ApplicationAssembly::kBackendStateFolderName);
  }
  return folders;
}

// The sound output plays at the system volume: the one set now, then each new one the volume's change
// notification carries. Connecting again replaces the observer made before.
void connectSoundVolume() {
  static ns::NotificationCenter::ObserverToken observer;
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  center.removeObserver(observer);
  av::SoundOutput::setSystemVolume(uikit::SystemVolume::sharedInstance().volume());
  observer = center.addObserverForName(
      uikit::kSystemVolumeDidChangeNotification, nullptr, nullptr, [](const ns::Notification& notification) {
        const auto volume = notification.userInfo.find(uikit::kAudioVolumeNotificationParameter);
        if (volume != notification.userInfo.end()) {
          av::SoundOutput::setSystemVolume(volume->second.floatValue());
        }
      });
}

// Set before anything connects. A chosen link is simulated. A back end on this machine (the embedded one, or
// one on loopback) is a device and its server in one place, which must work with no network at all: the
// simulation, on Wi-Fi, stands for the device's link. A back end elsewhere is reached over the machine's own
// network, which the reachability monitors then follow.
void chooseLinkInForce(const ApplicationAssembly::Settings& settings) {
  if (settings.network) {
    outside::SimulatedNetwork::setStatus(*settings.network);
  } else if (!settings.webHost || ns::isLoopbackHost(settings.webHost->host)) {
    static_cast<void>(outside::SimulatedNetwork::status());
  } else {
    outside::MachineNetwork::follow();
  }
}

}  // namespace

ns::Result<std::unique_ptr<ApplicationAssembly>> ApplicationAssembly::launch(const Settings& settings) {
  QM_DCHECK_MAIN_THREAD();
  if (settings.home) {
    ns::Sandbox::setHomeDirectory(*settings.home);
  }
  const std::string home = ns::Sandbox::homeDirectory();
  // Before the sandbox's folders, which are made inside it.
  makeNewHomePrivate(home);
  if (ns::Status usable = checkHomeFolder(home, foldersWrittenInto(home, !settings.webHost)); !usable.ok()) {
    return usable.error();
  }
  auto console =
      std::make_shared<terminal::ConsoleLogFile>(home + "/" + kConsoleLogFileName, settings.verboseConsole);
  app::setConsoleDestination([console](std::string_view line) { console->write(line); });
  chooseLinkInForce(settings);
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

  std::unique_ptr<ApplicationAssembly> assembly(new ApplicationAssembly(std::move(backend)));
  connectParts();
  uikit::Application::sharedApplication().launch(std::make_shared<app::AppDelegate>());
  return assembly;
}

struct ApplicationAssembly::Notices {
  std::atomic<bool> soundDeviceMissingSaid{false};
  NoticeHandler handler;  // main thread only
};

ApplicationAssembly::ApplicationAssembly(std::unique_ptr<sample_backend::SampleBackend> backend)
    : backend_(std::move(backend)),
      requestStarts_(ns::NotificationCenter::defaultCenter().addObserverForName(
          http_client::kHCNetworkingOperationDidStartNotification, nullptr, nullptr,
          [this](const ns::Notification& notification) { noteStartingScreen(notification); })),
      requestEnds_(ns::NotificationCenter::defaultCenter().addObserverForName(
          http_client::kHCNetworkingOperationDidFinishNotification, nullptr, nullptr,
          [this](const ns::Notification& notification) { reportIfFailed(notification); })),
      notices_(std::make_shared<Notices>()) {
  // Every player opens a sound output, so the console hears of a missing device at every lesson; the
  // person only at the first. The reporter stays after the assembly, for the console.
  av::SoundOutput::setNoDeviceReporter(
      [weakNotices = std::weak_ptr<Notices>(notices_)](const std::string& line) {
        app::consoleLog(line);
        const std::shared_ptr<Notices> notices = weakNotices.lock();
        if (!notices || notices->soundDeviceMissingSaid.exchange(true)) {
          return;
        }
        ns::RunLoop::main().post([weakNotices, line] {
          if (const std::shared_ptr<Notices> alive = weakNotices.lock(); alive && alive->handler) {
            alive->handler(line);
          }
        });
      });
}

ApplicationAssembly::~ApplicationAssembly() {
  uikit::Application::sharedApplication().terminate();
  endRequestsInFlight();
  ns::NotificationCenter::defaultCenter().removeObserver(requestStarts_);
  ns::NotificationCenter::defaultCenter().removeObserver(requestEnds_);
}

void ApplicationAssembly::setNoticeHandler(NoticeHandler handler) {
  QM_DCHECK_MAIN_THREAD();
  notices_->handler = std::move(handler);
}

void ApplicationAssembly::endRequestsInFlight() {
  // A request holds itself until its reply has been handled, so one still waiting when the process ends
  // would leave everything it holds behind: it is cancelled and waited for here.
  ns::OperationQueue& requests = app::QMNetworkHelper::commonServerManager()->operationQueue();
  requests.cancelAllOperations();
  if (!requests.waitUntilAllOperationsAreFinished(kRequestEndTimeout)) {
    app::consoleLog("Requests still in flight at the end: " + std::to_string(requests.operationCount()));
  }
}

void ApplicationAssembly::setFailedRequestHandler(FailedRequestHandler handler) {
  failedRequestHandler_ = std::move(handler);
}

void ApplicationAssembly::noteStartingScreen(const ns::Notification& notification) {
  if (std::dynamic_pointer_cast<http_client::HCURLConnectionOperation>(notification.object)) {
    startingScreens_[notification.object.get()] = uikit::VisibleScreen::current().contentController;
  }
}

void ApplicationAssembly::reportIfFailed(const ns::Notification& notification) {
  const auto operation =
      std::dynamic_pointer_cast<http_client::HCURLConnectionOperation>(notification.object);
  if (!operation) {
    return;
  }
  const auto started = startingScreens_.find(operation.get());
  // A request whose start went unseen counts as started by the screen shown now.
  const bool startingScreenShown =
      started == startingScreens_.end() ||
      started->second.lock() == uikit::VisibleScreen::current().contentController;
  if (started != startingScreens_.end()) {
    startingScreens_.erase(started);
  }
  if (!startingScreenShown || !failedRequestHandler_) {
    return;
  }
  const std::optional<ns::Error> error = operation->error();
  // A cancelled request is one nobody waits on any more.
  if (!error || (error->domain() == ns::kURLErrorDomain && error->code() == ns::kURLErrorCancelled)) {
    return;
  }
  const ns::URLRequest request = operation->request();
  failedRequestHandler_(request.url() ? request.url()->path() : std::string(), *error);
}

void ApplicationAssembly::connectParts() {
  QM_DCHECK_MAIN_THREAD();
  app::QMAppServices::setDownloadPauser([] { learning::QMDownloadHelper::sharedInstance()->pauseAll(); });
  app::QMCoreDataHelper::sharedInstance().setUserIdSource(
      [] { return app::QMUser::sharedInstance()->userId(); });
  app::QMUserStoryboard::registerScenes();
  app::QMMoreStoryboard::registerScenes();
  app::QMMenuScenes::registerScenes();
  learning::QMCourseStoryboard::registerScenes();
  learning::QMCacheStoryboard::registerScenes();
  learning::QMLiveStoryboard::registerScenes();
  learning::QMSubjectStoryboard::registerScenes();
  connectSoundVolume();
}

}  // namespace assembly
