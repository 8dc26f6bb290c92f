#include "main/terminal/TerminalFrontEnd.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/driver/Driver.h"

namespace {

// A bound on the turns settle() runs, for a timer that keeps falling due at once.
constexpr int kMostSettlingTurns = 32;

}  // namespace

void TerminalFrontEnd::settle() {
  for (int turn = 0; turn < kMostSettlingTurns && ns::RunLoop::main().runPending() > 0; ++turn) {
  }
}

void TerminalFrontEnd::printScreen() {
  settle();
  out_ << uikit::Driver::screenText() << std::flush;
}

ns::Status TerminalFrontEnd::run(const TerminalCommand& command) {
  QM_DCHECK_MAIN_THREAD();
  settle();
  ns::Status status = execute(command);
  if (!quitRequested_) {
    printScreen();
  }
  return status;
}

ns::Status TerminalFrontEnd::execute(const TerminalCommand& command) {
  using Kind = TerminalCommand::Kind;
  switch (command.kind) {
    case Kind::kShow:
      return {};
    case Kind::kTap:
      return uikit::Driver::tap(command.target);
    case Kind::kType:
      return uikit::Driver::type(command.target, command.text);
    case Kind::kAlert:
      return uikit::Driver::answerAlert(command.target);
    case Kind::kBack:
      return uikit::Driver::goBack();
    case Kind::kWait:
      uikit::Driver::wait(command.duration);
      return {};
    case Kind::kWaitFor:
      return uikit::Driver::waitForText(command.target, command.duration);
    case Kind::kQuit:
      quitRequested_ = true;
      return {};
    case Kind::kHelp:
      out_ << TerminalCommand::helpText();
      return {};
  }
  return {};
}

int TerminalFrontEnd::runInteractive(std::istream& in) {
  printScreen();
  std::string line;
  while (!quitRequested_ && (out_ << kPrompt << std::flush) && std::getline(in, line)) {
    ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(line);
    if (!command.ok()) {
      errors_ << command.error().localizedDescription() << std::endl;
      continue;
    }
    if (!*command) {
      continue;
    }
    if (ns::Status status = run(**command); !status.ok()) {
      errors_ << status.error().localizedDescription() << std::endl;
    }
  }
  return kExitSuccess;
}

int TerminalFrontEnd::runScript(std::istream& script, const std::string& scriptName) {
  printScreen();
  std::string line;
  for (int lineNumber = 1; !quitRequested_ && std::getline(script, line); ++lineNumber) {
    ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(line);
    ns::Status status;
    if (!command.ok()) {
      status = command.error();
    } else if (*command) {
      out_ << kPrompt << line << "\n";
      status = run(**command);
    }
    if (!status.ok()) {
      errors_ << scriptName << ":" << lineNumber << ": " << status.error().localizedDescription()
              << std::endl;
      return kExitScriptFailed;
    }
  }
  return kExitSuccess;
}
