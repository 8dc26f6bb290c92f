// The quillmark executable: reads its flags, points the application at its back end (starting the sample
// one inside the process when no --web-host is given), wires the parts of the application to each other,
// launches it with AppDelegate, and hands the terminal to the front end until quit.
//
// Exit status: 0 after quit or the end of the input, 1 when a script fails (TerminalFrontEnd.h), 2 for flags
// that cannot be used or a script that cannot be read, 3 when the sample back end cannot start.

#include <fstream>
#include <iostream>
#include <memory>

#include "app/network/QMServerHosts.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/CoursePlaceholderController.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/user/QMUserStoryboard.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "learning/player/RunLoopSocketModel.h"
#include "main/terminal/CommandLineOptions.h"
#include "main/terminal/EmbeddedBackend.h"
#include "main/terminal/TerminalFrontEnd.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/app/Application.h"

namespace {

constexpr int kExitBadUsage = 2;
constexpr int kExitCannotStart = 3;

// Connects the parts that meet only at run time: the session's download pausing, and the store's notion
// of the current learner.
void wireApplication() {
  QMAppServices::setDownloadPauser([] { QMDownloadHelper::sharedInstance()->pauseAll(); });
  QMCoreDataHelper::sharedInstance().setUserIdSource([] { return QMUser::sharedInstance()->userId(); });
  QMUserStoryboard::registerScenes();
  CoursePlaceholderController::registerScenes();
}

}  // namespace

int main(int argc, char** argv) {
  ns::Result<CommandLineOptions> parsed = CommandLineOptions::parse(argc, argv);
  if (!parsed.ok()) {
    std::cerr << "quillmark: " << parsed.error().localizedDescription()
              << "\nRun quillmark --help for the flags.\n";
    return kExitBadUsage;
  }
  const CommandLineOptions& options = *parsed;
  if (options.usage) {
    std::cout << *options.usage;
    return 0;
  }
  std::ifstream script;
  if (options.scriptPath) {
    script.open(*options.scriptPath);
    if (!script) {
      std::cerr << "quillmark: cannot read the script " << *options.scriptPath << "\n";
      return kExitBadUsage;
    }
  }

  if (options.home) {
    ns::Sandbox::setHomeDirectory(*options.home);
  }
  if (options.network) {
    outside::SimulatedNetwork::setStatus(*options.network);
  }
  std::unique_ptr<EmbeddedBackend> backend;
  if (options.webHost) {
    QMServerHosts::setPublicWebHost(options.webHost->text());
  } else {
    ns::Result<std::unique_ptr<EmbeddedBackend>> started = EmbeddedBackend::start();
    if (!started.ok()) {
      std::cerr << "quillmark: the sample back end cannot start: " << started.error().localizedDescription()
                << "\n";
      return kExitCannotStart;
    }
    backend = std::move(started).value();
    QMServerHosts::setPublicWebHost(backend->webHost());
    std::cout << backend->welcomeText() << std::flush;
  }
  if (options.statsServer) {
    RunLoopSocketModel::setServerAddress(options.statsServer->host, *options.statsServer->port);
  } else if (backend) {
    RunLoopSocketModel::setServerAddress("127.0.0.1", backend->statisticsPort());
  }

  wireApplication();
  uikit::Application& application = uikit::Application::sharedApplication();
  application.launch(std::make_shared<AppDelegate>());
  TerminalFrontEnd frontEnd(std::cout, std::cerr);
  const int status = options.scriptPath ? frontEnd.runScript(script, *options.scriptPath)
                                        : frontEnd.runInteractive(std::cin);
  application.terminate();
  return status;
}
