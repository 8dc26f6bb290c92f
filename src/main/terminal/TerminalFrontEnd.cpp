#include "main/terminal/TerminalFrontEnd.h"

#include "main/terminal/BoundedLine.h"
#include "main/terminal/LivePictureFile.h"
#include "main/terminal/TerminationSignals.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/controls/TextField.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/render/PrintableText.h"

namespace terminal {

namespace {

// A bound on the turns settle() runs, for a timer that keeps falling due at once.
constexpr int kMostSettlingTurns = 32;

ns::Error terminalError(std::string description) {
  return ns::Error(kTerminalErrorDomain, 1,
                   {{std::string(ns::kLocalizedDescriptionKey), std::move(description)}});
}

bool isSecureField(const std::shared_ptr<uikit::View>& view) {
  const auto field = std::dynamic_pointer_cast<uikit::TextField>(view);
  return field != nullptr && field->isSecureTextEntry();
}

// A secure field, or one that holds the person's own data (TextField::holdsPersonalData()).
bool isPrivateField(const std::shared_ptr<uikit::View>& view) {
  const auto field = std::dynamic_pointer_cast<uikit::TextField>(view);
  return field != nullptr && (field->isSecureTextEntry() || field->holdsPersonalData());
}

// The script's line as its transcript shows it: a text typed into a secure field as the field shows it.
std::string transcriptLine(const std::string& line, const TerminalCommand& command) {
  if (command.kind != TerminalCommand::Kind::kType) {
    return line;
  }
  const ns::Result<std::shared_ptr<uikit::View>> field = uikit::Driver::findView(command.target);
  if (!field.ok() || !isSecureField(*field)) {
    return line;
  }
  return "type " + command.target + " " + uikit::TextField::bullets(command.text);
}

// The screen's first line, which names it.
std::string screenName(const std::string& screen) {
  return screen.substr(0, screen.find('\n'));
}

}  // namespace

TerminalFrontEnd::TerminalFrontEnd(std::ostream& out, std::ostream& errors) : out_(out), errors_(errors) {
  if (TerminationSignals::descriptor() >= 0) {
    // Wakes the main loop when a signal comes, so that a command waiting on it ends at once; the wait's
    // condition then sees the signal. One wake is enough, as the session then ends.
    signalWake_ =
        ns::RunLoop::main().addSource(TerminationSignals::descriptor(), ns::IoEvents::kRead,
                                      [this](ns::IoEvents) { signalWake_->setEvents(ns::IoEvents::kNone); });
  }
}

TerminalFrontEnd::~TerminalFrontEnd() = default;

bool TerminalFrontEnd::interrupted() {
  return TerminationSignals::received() != 0;
}

bool TerminalFrontEnd::ended() const {
  return quitRequested_ || interrupted();
}

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
  const std::string screen = observeScreen();
  shownScreenName_ = screenName(screen);
  out_ << screen << std::flush;
}

void TerminalFrontEnd::watchScreenWhilePrompting() {
  const std::string name = screenName(observeScreen());
  if (name != shownScreenName_) {
    shownScreenName_ = name;
    say(name + " is on screen now (show to see it)");
  }
}

void TerminalFrontEnd::say(const std::string& line) {
  if (prompting_ != nullptr) {
    prompting_->printAbovePrompt(line);
  } else {
    errors_ << line << std::endl;
  }
}

void TerminalFrontEnd::printMessages(std::ostream& stream,
                                     const std::vector<ScreenMessageLog::Entry>& entries) {
  if (entries.empty()) {
    stream << "No toast, alert, HUD text or failed request has been shown.\n";
    return;
  }
  stream << ScreenMessageLog::describe(entries);
}

ns::Status TerminalFrontEnd::waitForText(const std::string& text, ns::Duration timeout) {
  const ScreenMessageLog::Clock::time_point start = ScreenMessageLog::Clock::now();
  const bool appeared = ns::RunLoop::main().runUntil(
      [this, &text] {
        return observeScreen().find(text) != std::string::npos || messages_.notedLineHolds(text) ||
               interrupted();
      },
      timeout);
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
        return interrupted();
      },
      duration);
}

ns::Status TerminalFrontEnd::writePicture(const std::string& path) {
  const ns::Result<uikit::Size> written = LivePictureFile::write(path);
  if (!written.ok()) {
    return written.error();
  }
  out_ << "Wrote the picture (" << written->width << " x " << written->height << ") to " << path << "\n";
  return {};
}

ns::Status TerminalFrontEnd::run(const TerminalCommand& command) {
  QM_DCHECK_MAIN_THREAD();
  settle();
  ns::Status status = execute(command);
  if (!ended()) {
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
    case Kind::kPan:
      return uikit::Driver::pan(command.target, command.panTranslation, command.panStart);
    case Kind::kPull:
      return uikit::Driver::pullDown(command.target);
    case Kind::kScroll:
      return uikit::Driver::scrollToBottom(command.target);
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
    case Kind::kPicture:
      return writePicture(command.target);
  }
  return {};
}

void TerminalFrontEnd::noteFailedRequest(const std::string& path, const ns::Error& error) {
  noteNotice("request failed: " + path + ": " + error.domain() + " " + std::to_string(error.code()) + " " +
             error.localizedDescription());
}

void TerminalFrontEnd::noteNotice(const std::string& line) {
  QM_DCHECK_MAIN_THREAD();
  const std::string shown = uikit::printableText(line);
  messages_.note(shown, ScreenMessageLog::Clock::now());
  say(shown);
}

bool TerminalFrontEnd::isSecret(const std::string& line) {
  if (isPrivateField(uikit::View::currentFirstResponder())) {
    return true;
  }
  const std::optional<std::string> named = TerminalCommand::secondWord(line);
  if (!named) {
    return false;
  }
  ns::Result<std::shared_ptr<uikit::View>> view = uikit::Driver::findView(*named);
  return view.ok() && isPrivateField(*view);
}

int TerminalFrontEnd::runInteractive(LineReader& lines) {
  if (!interrupted()) {
    printScreen();
  }
  lines.watchWhileWaiting([this] { watchScreenWhilePrompting(); });
  while (!ended()) {
    prompting_ = &lines;
    ns::Result<std::optional<std::string>> line = lines.readLine(kPrompt);
    prompting_ = nullptr;
    if (!line.ok()) {
      errors_ << line.error().localizedDescription() << std::endl;
      continue;
    }
    if (!*line) {
      break;
    }
    const std::string& typed = **line;
    if (!typed.empty() && !isSecret(typed)) {
      lines.remember(typed);
    }
    ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(typed);
    if (!command.ok()) {
      errors_ << command.error().localizedDescription() << std::endl;
      continue;
    }
    if (!*command) {
      continue;
    }
    if (ns::Status status = run(**command); !status.ok() && !interrupted()) {
      errors_ << status.error().localizedDescription() << std::endl;
    }
  }
  lines.watchWhileWaiting(nullptr);
  return kExitSuccess;
}

int TerminalFrontEnd::runScript(std::istream& script, const std::string& scriptName) {
  if (!interrupted()) {
    printScreen();
  }
  for (int lineNumber = 1; !ended(); ++lineNumber) {
    ns::Result<std::optional<std::string>> line = readBoundedLine(script, LineReader::kLongestLine);
    if (line.ok() && !*line) {
      break;
    }
    ns::Result<std::optional<TerminalCommand>> command =
        line.ok() ? TerminalCommand::parse(**line, TerminalCommand::LineSource::kScript)
                  : ns::Result<std::optional<TerminalCommand>>(line.error());
    ns::Status status;
    if (!command.ok()) {
      status = command.error();
    } else if (*command) {
      out_ << kPrompt << transcriptLine(**line, **command) << "\n";
      status = run(**command);
    }
    if (!status.ok() && !interrupted()) {
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
