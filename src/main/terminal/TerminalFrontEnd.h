#pragma once

// TerminalFrontEnd: the application's face in a terminal. It runs commands (TerminalCommand.h) through the
// driver (uikit::Driver), acting as a finger would, and after each one prints the screen as text
// (uikit::ScreenRenderer) as an eye would read it.
//
// The application runs on the main loop while a command runs, and while the prompt waits for a line when the
// line reader waits on the loop (LineReader::watchWhileWaiting()): then a change of screen is announced above
// the prompt, in one line that names the screen, and the screen is printed when asked for. Each command
// first catches up with what fell due meanwhile (replies that arrived, timers), and before the screen is
// printed the loop runs the turns that the command set going (appearances, animation endings), without
// waiting for anything.
//
// While the loop runs (a command, wait, waitfor, the prompt) the front end looks at the screen after every
// callback and keeps the toasts, alerts and HUD texts it saw (ScreenMessageLog.h): the messages command lists
// them, a waitfor that times out names those shown while it waited, and a failed script lists the last ones.
// A request that fails while the screen that started it is shown is printed as a line of its own and kept
// with them, since the screens show nothing for a failure of the transport.
//
// Lines typed into a secure text field or one that holds personal data (a real name, an identity-card
// number), or while one has focus, are secret: they never reach the history. A script's transcript shows
// the text it types into a secure field as the field does, in dots.
// A termination signal (TerminationSignals.h) ends the session as quit does: the command running stops
// waiting, no screen is printed after it, and nothing more is read.
//
// Thread-safety: main thread only, like the screens it drives.

#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "main/terminal/LineReader.h"
#include "main/terminal/ScreenMessageLog.h"
#include "main/terminal/TerminalCommand.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/values/Result.h"

namespace terminal {

// The domain of a command that ran but did not get what it waited for.
inline constexpr char kTerminalErrorDomain[] = "com.quillmark.terminal";

class TerminalFrontEnd {
 public:
  static constexpr int kExitSuccess = 0;
  static constexpr int kExitScriptFailed = 1;
  static constexpr char kPrompt[] = "> ";

  // Prints screens and help to `out`, and what went wrong to `errors`. Both must outlive the front end.
  TerminalFrontEnd(std::ostream& out, std::ostream& errors);
  ~TerminalFrontEnd();
  TerminalFrontEnd(const TerminalFrontEnd&) = delete;
  TerminalFrontEnd& operator=(const TerminalFrontEnd&) = delete;

  // Prints the screen, then reads commands from `lines`, one a line after the prompt, until quit, the end of
  // the input or a termination signal. A line that cannot be read, or a command that fails, prints why and
  // the reading goes on. Each line read that is not secret goes to the reader's history. Returns
  // kExitSuccess.
  int runInteractive(LineReader& lines);

  // Prints the screen, then runs the lines of the script `script`, called `scriptName`: each command is
  // echoed after the prompt (a secure field's text in dots) and followed by the screen. The first line that
  // cannot be read (longer than LineReader::kLongestLine, or holding a control byte) or whose command fails
  // (a tap that finds nothing, a waitfor that times out, ...) ends the run: "<scriptName>:<line>: <why>" goes
  // to the error stream, followed by the messages shown lately if there were any, and the result is
  // kExitScriptFailed. Returns kExitSuccess when the script reaches quit, its end or a termination signal.
  int runScript(std::istream& script, const std::string& scriptName);

  // Runs one command and prints the screen after it (not after quit or a termination signal). Returns the
  // driver's error when the command failed.
  ns::Status run(const TerminalCommand& command);
  bool quitRequested() const { return quitRequested_; }

  // Tells the front end that the request to `path`, started by the screen shown, failed with `error`:
  // "request failed: <path>: <domain> <code> <description>" goes above the prompt while it waits, else to
  // the error stream, and the messages command lists it.
  void noteFailedRequest(const std::string& path, const ns::Error& error);
  // Says `line`, a notice for the person that the screen does not show (such as a missing sound device),
  // as a failed request is said, and keeps it for the messages command.
  void noteNotice(const std::string& line);

 private:
  ns::Status execute(const TerminalCommand& command);
  // Runs the main loop until the screen shows `text` or `timeout` has passed; the time-out's error names
  // the messages shown meanwhile.
  ns::Status waitForText(const std::string& text, ns::Duration timeout);
  // Runs the main loop for `duration`.
  void wait(ns::Duration duration);
  // Writes the picture a player shows to the PNG file `path` and says so.
  ns::Status writePicture(const std::string& path);
  // Looks at the screen now, noting its messages; returns its text.
  std::string observeScreen();
  static void printMessages(std::ostream& stream, const std::vector<ScreenMessageLog::Entry>& entries);
  // Runs the main loop's turns that are ready, without waiting, until nothing more is ready.
  static void settle();
  void printScreen();
  // Notes the screen's messages while the prompt waits, and announces a screen other than the one printed.
  void watchScreenWhilePrompting();
  // Writes `line` above the prompt while it waits for a line, else on the error stream.
  void say(const std::string& line);
  // Whether a termination signal came; whether the session is over (quit or a signal).
  static bool interrupted();
  bool ended() const;
  // Whether `line` types into a secure or personal text field or comes while one has focus.
  static bool isSecret(const std::string& line);

  std::ostream& out_;
  std::ostream& errors_;
  bool quitRequested_ = false;
  ScreenMessageLog messages_;
  // The name of the screen printed or announced last.
  std::string shownScreenName_;
  // The reader waiting for a line, while it does.
  LineReader* prompting_ = nullptr;
  std::unique_ptr<ns::FileDescriptorSource> signalWake_;
};

}  // namespace terminal
