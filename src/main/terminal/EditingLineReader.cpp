#include "main/terminal/EditingLineReader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

// The library's interface in the style of the GNU one; it needs <cstdio> first.
#include <editline/readline.h>

#include "main/terminal/BoundedLine.h"
#include "platform/foundation/check/Check.h"

namespace terminal {

namespace {

// The reader the library's key reader serves; the library keeps one global state, so there is one.
EditingLineReader* currentReader = nullptr;

}  // namespace

EditingLineReader::EditingLineReader(std::string historyPath, int interruption)
    : historyPath_(std::move(historyPath)),
      interruption_(interruption),
      keys_(kLongestLine, [this](std::chrono::milliseconds wait) { return readByte(wait); }) {
  QM_DCHECK(currentReader == nullptr, "one EditingLineReader a process at a time");
  currentReader = this;
  // Set before the library starts (using_history() starts it): the keys come through TypedKeys, and the
  // library leaves the signals to TerminationSignals.
  rl_getc_function = &EditingLineReader::nextCharacter;
  rl_catch_signals = 0;
  using_history();
  stifle_history(kHistoryLength);
  // A missing history file is the first run's normal case, and an unreadable one only costs the history.
  read_history(historyPath_.c_str());
  // After the library has taken the terminal's settings as they are, so that it gives those back after
  // each line.
  quietTerminal();
  const auto noteReadable = [](bool& flag) { return [&flag](ns::IoEvents) { flag = true; }; };
  inputSource_ = ns::RunLoop::main().addSource(STDIN_FILENO, ns::IoEvents::kNone, noteReadable(inputReady_));
  if (interruption_ >= 0) {
    interruptionSource_ =
        ns::RunLoop::main().addSource(interruption_, ns::IoEvents::kNone, noteReadable(interrupted_));
  }
}

EditingLineReader::~EditingLineReader() {
  restoreTerminal();
  currentReader = nullptr;
}

ns::Result<std::optional<std::string>> EditingLineReader::readLine(const std::string& prompt) {
  keys_.startLine();
  editing_ = true;
  const std::unique_ptr<char, decltype(&std::free)> line(readline(prompt.c_str()), &std::free);
  editing_ = false;
  quietTerminal();
  if (!line) {
    // Ctrl-D ends the prompt's line here; after an interruption the program ends it on its way out.
    if (!interrupted_) {
      std::fputs("\n", stdout);
      std::fflush(stdout);
    }
    return std::optional<std::string>();
  }
  if (keys_.lineCut()) {
    return lineTooLongError(kLongestLine);
  }
  return std::optional<std::string>(line.get());
}

void EditingLineReader::remember(const std::string& line) {
  add_history(line.c_str());
  // A history that cannot be saved only costs the next run its history; the session goes on. What was
  // typed is the person's own: the file is theirs only.
  write_history(historyPath_.c_str());
  ::chmod(historyPath_.c_str(), 0600);
}

void EditingLineReader::watchWhileWaiting(std::function<void()> afterCallback) {
  afterCallback_ = std::move(afterCallback);
}

void EditingLineReader::printAbovePrompt(const std::string& line) {
  if (!editing_) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    return;
  }
  // The prompt's row is cleared and takes the line; the editor then draws the prompt and what was typed
  // again on the row under it, as if it started there.
  std::printf("\r\x1b[J%s\n", line.c_str());
  std::fflush(stdout);
  rl_forced_update_display();
}

int EditingLineReader::nextCharacter(FILE* /*input*/) {
  const std::optional<char32_t> character = currentReader->keys_.next();
  return character ? static_cast<int>(*character) : -1;
}

std::optional<unsigned char> EditingLineReader::readByte(std::chrono::milliseconds wait) {
  for (;;) {
    if (!waitForInput(wait)) {
      return std::nullopt;
    }
    unsigned char byte = 0;
    const ssize_t count = read(STDIN_FILENO, &byte, 1);
    if (count < 0 && errno == EINTR) {
      continue;  // a signal that ends the session has made the interruption readable by now
    }
    return count == 1 ? std::optional<unsigned char>(byte) : std::nullopt;
  }
}

bool EditingLineReader::waitForInput(std::chrono::milliseconds wait) {
  inputReady_ = false;
  inputSource_->setEvents(ns::IoEvents::kRead);
  if (interruptionSource_) {
    interruptionSource_->setEvents(ns::IoEvents::kRead);
  }
  const ns::Duration timeout = wait.count() < 0 ? ns::Duration::max() : ns::Duration(wait);
  ns::RunLoop::main().runUntil(
      [this] {
        if (inputReady_ || interrupted_) {
          return true;
        }
        if (afterCallback_) {
          afterCallback_();
        }
        return false;
      },
      timeout);
  inputSource_->setEvents(ns::IoEvents::kNone);
  if (interruptionSource_) {
    interruptionSource_->setEvents(ns::IoEvents::kNone);
  }
  return inputReady_ && !interrupted_;
}

void EditingLineReader::quietTerminal() {
  termios settings{};
  if (tcgetattr(STDIN_FILENO, &settings) != 0) {
    return;
  }
  if (!settingsBeforeQuiet_) {
    settingsBeforeQuiet_ = settings;
  }
  // No echo, and every byte kept as it comes: the library shows what was typed meanwhile when it reads it,
  // and a Ctrl-D stays a byte (the line discipline would take it as an end of input and lose it when the
  // library turns line editing off, which it does only after it has written the prompt).
  settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON);
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  // TCSANOW, not a flush: what is typed meanwhile stays for the next prompt to read.
  tcsetattr(STDIN_FILENO, TCSANOW, &settings);
}

void EditingLineReader::restoreTerminal() {
  if (settingsBeforeQuiet_) {
    tcsetattr(STDIN_FILENO, TCSANOW, &*settingsBeforeQuiet_);
    settingsBeforeQuiet_.reset();
  }
}

}  // namespace terminal
