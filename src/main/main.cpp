// The quillmark executable: reads its flags, has ApplicationAssembly set the application up and launch it
// (with the sample back end inside the process when no --web-host is given), and hands the terminal to the
// front end until quit.
//
// Exit status: 0 after quit or the end of the input, 1 when a script fails (TerminalFrontEnd.h), 2 for flags
// that cannot be used, a script that cannot be read or a home folder where something cannot be saved, 3
// when the sample back end cannot start, 130 after SIGINT (Ctrl-C) and 143 after SIGTERM. A signal takes
// the road of quit: the application terminates (its store saved), the terminal is given back, a line is
// ended, and the program exits (TerminationSignals.h).

#include <unistd.h>

#include <clocale>
#include <fstream>
#include <iostream>
#include <memory>

#include "main/assembly/ApplicationAssembly.h"
#include "main/terminal/CommandLineOptions.h"
#include "main/terminal/EditingLineReader.h"
#include "main/terminal/StreamLineReader.h"
#include "main/terminal/TerminalFrontEnd.h"
#include "main/terminal/TerminationSignals.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/Sandbox.h"

namespace {

constexpr int kExitBadUsage = 2;
constexpr int kExitCannotStart = 3;

// The file in the home folder that keeps what was typed at the prompt, for the next run.
constexpr char kHistoryFileName[] = "terminal_history";

std::string bundleVersion() {
  const ns::Value* version =
      ns::Bundle::mainBundle()->objectForInfoDictionaryKey("CFBundleShortVersionString");
  return version != nullptr ? version->stringValue() : "unknown";
}

int exitStatusFor(const ns::Error& launchError) {
  return launchError.code() == static_cast<int>(assembly::AssemblyErrorCode::kUnusableHome)
             ? kExitBadUsage
             : kExitCannotStart;
}

// Reads commands from the terminal with line editing, or plain lines from a pipe or a file. The terminal
// is given back as it was found when this returns.
int runInteractive(terminal::TerminalFrontEnd& frontEnd) {
  if (isatty(STDIN_FILENO) == 0) {
    terminal::StreamLineReader lines(std::cin, std::cout);
    return frontEnd.runInteractive(lines);
  }
  // The line editor reads the locale to tell where a multi-byte character (a Chinese text) ends.
  std::setlocale(LC_CTYPE, "");
  terminal::EditingLineReader lines(ns::Sandbox::homeDirectory() + "/" + kHistoryFileName,
                                    terminal::TerminationSignals::descriptor());
  return frontEnd.runInteractive(lines);
}

}  // namespace

int main(int argc, char** argv) {
  ns::Result<terminal::CommandLineOptions> parsed = terminal::CommandLineOptions::parse(argc, argv);
  if (!parsed.ok()) {
    std::cerr << "quillmark: " << parsed.error().localizedDescription()
              << "\nRun quillmark --help for the flags.\n";
    return kExitBadUsage;
  }
  const terminal::CommandLineOptions& options = *parsed;
  if (options.usage) {
    std::cout << *options.usage;
    return 0;
  }
  if (options.versionRequested) {
    std::cout << "quillmark " << bundleVersion() << "\n";
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

  // Caught from here on, so that a signal during the start too ends by the road of quit.
  const terminal::TerminationSignals signals;
  ns::Result<std::unique_ptr<assembly::ApplicationAssembly>> launched = assembly::ApplicationAssembly::launch(
      {options.home, options.webHost, options.statsServer, options.network, options.verbose});
  if (!launched.ok()) {
    std::cerr << "quillmark: " << launched.error().localizedDescription() << "\n";
    return exitStatusFor(launched.error());
  }
  std::unique_ptr<assembly::ApplicationAssembly> application = std::move(launched).value();
  if (const sample_backend::SampleBackend* backend = application->embeddedBackend()) {
    std::cout << backend->welcomeText() << std::flush;
  }
  int status = 0;
  {
    terminal::TerminalFrontEnd frontEnd(std::cout, std::cerr);
    application->setFailedRequestHandler([&frontEnd](const std::string& path, const ns::Error& error) {
      frontEnd.noteFailedRequest(path, error);
    });
    application->setNoticeHandler([&frontEnd](const std::string& line) { frontEnd.noteNotice(line); });
    status = options.scriptPath ? frontEnd.runScript(script, *options.scriptPath) : runInteractive(frontEnd);
    application->setFailedRequestHandler(nullptr);
    application->setNoticeHandler(nullptr);
  }
  application.reset();
  if (const int signal = terminal::TerminationSignals::received()) {
    std::cout << "\n" << std::flush;
    return terminal::TerminationSignals::exitStatus(signal);
  }
  return status;
}
