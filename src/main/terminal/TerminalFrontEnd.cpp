#include "main/terminal/TerminalFrontEnd.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/driver/Driver.h"

namespace terminal {

namespace {

// A bound on the turns settle() runs, for a timer that keeps falling due at once.
constexpr int kMostSettlingTurns = 32;

ns::Error terminalError(std::string description) {
  return ns::Error(kTerminalErrorDomain, 1,
                   {{std::string(ns::kLocalizedDescriptionKey), std::move(description)}});
}

}  // namespace

void TerminalFrontEnd::settle() {
  for (int turn = 0; turn < kMostSettlingTurns && ns::RunLoop::main().runPending() > 0; ++turn) {
  }
}

std::string TerminalFrontEnd::observeScreen() {
  std::string screen = uikit::Driver::screenText();
  messages_.observe(screen, ScreenMessageLog::Clock::now());
  return screen;
}

void TerminalFrontEnd::printScreen() {
  settle();
  out_ << observeScreen() << std::flush;
}

void TerminalFrontEnd::printMessages(std::ostream& stream,
                                     const std::vector<ScreenMessageLog::Entry>& entries) {
  if (entries.empty()) {
    stream << "No toast, alert or HUD text has been shown.\n";
    return;
  }
  stream << ScreenMessageLog::describe(entries);
}

ns::Status TerminalFrontEnd::waitForText(const std::string& text, ns::Duration timeout) {
  const ScreenMessageLog::Clock::time_point start = ScreenMessageLog::Clock::now();
  const bool appeared = ns::RunLoop::main().runUntil(
      [this, &text] { return observeScreen().find(text) != std::string::npos; }, timeout);
  if (appeared) {
    return {};
  }
  const std::string notFound = "The text \"" + text + "\" did not appear in time";
  std::string meanwhile = ScreenMessageLog::describe(messages_.entriesSince(start));
  if (meanwhile.empty()) {
    return terminalError(notFound + "; no toast, alert or HUD text was shown meanwhile.");
  }
  meanwhile.pop_back();
  return terminalError(notFound + ". Shown meanwhile:\n" + meanwhile);
}

void TerminalFrontEnd::wait(ns::Duration duration) {
  ns::RunLoop::main().runUntil(
      [this] {
        observeScreen();
        return false;
      },
      duration);
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
      wait(command.duration);
      return {};
    case Kind::kWaitFor:
      return waitForText(command.target, command.duration);
    case Kind::kMessages:
      printMessages(out_, messages_.entriesSince({}));
      return {};
    case Kind::kNetwork:
      outside::SimulatedNetwork::setStatus(command.network);
      return {};
    case Kind::kQuit:
      quitRequested_ = true;
      return {};
    case Kind::kHelp:
      out_ << TerminalCommand::helpText();
      return {};
  }
  return {};
}

int TerminalFrontEnd::runInteractive(LineReader& lines) {
  printScreen();
  while (!quitRequested_) {
    const std::optional<std::string> line = lines.readLine(kPrompt);
    if (!line) {
      break;
    }
    ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(*line);
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
      errors_ << scriptName << ":" << lineNumber << ": " << status.error().localizedDescription() << "\n";
      if (const std::string lately = ScreenMessageLog::describe(messages_.entriesSince({}));
          !lately.empty()) {
        errors_ << "Messages shown lately:\n" << lately;
      }
      errors_ << std::flush;
      return kExitScriptFailed;
    }
  }
  return kExitSuccess;
}

}  // namespace terminal
