#pragma once

// EditingLineReader: lines typed at a terminal, edited with the line-editing library (libedit): the arrow
// keys move in the line and through the history, Ctrl-L clears the screen. The keys reach the editor through
// TypedKeys, so that unbound keys leave nothing in the line and a line longer than kLongestLine is refused.
// The history is read from a file when the reader starts, and each line the front end remembers is written
// back at once, so it carries over to the next run. At the end of the input (Ctrl-D) it ends the prompt's
// line, so that what comes after starts on a line of its own.
//
// While it waits for a key the reader runs the main loop, with standard input as one of its sources, so the
// application goes on (replies, timers, downloads, playback) while the person types or thinks; what the
// loop's callbacks have to say is written above the prompt, and the editor draws the prompt and the line
// typed so far again under it.
//
// Between two lines a command runs: meanwhile the terminal neither echoes what is typed nor edits it, since
// the editor shows it once the next prompt reads it. A wait for a key ends as the end of the input does once
// the interruption descriptor turns readable (TerminationSignals.h). The terminal is given back as it was
// found when the reader is destroyed.
//
// Use it only when standard input is a terminal; the library reads and writes the process's standard
// streams.
//
// Thread-safety: main thread only, as it runs the main loop; one reader a process at a time (the library
// keeps one global state).

#include <termios.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "main/terminal/LineReader.h"
#include "main/terminal/TypedKeys.h"
#include "platform/foundation/loop/RunLoop.h"

namespace terminal {

class EditingLineReader : public LineReader {
 public:
  // The most lines the history file keeps.
  static constexpr int kHistoryLength = 500;

  // Reads the history from `historyPath`, if the file exists. `interruption` is a descriptor that ends the
  // wait for a key once readable, or -1 for none.
  EditingLineReader(std::string historyPath, int interruption);
  ~EditingLineReader() override;
  EditingLineReader(const EditingLineReader&) = delete;
  EditingLineReader& operator=(const EditingLineReader&) = delete;

  ns::Result<std::optional<std::string>> readLine(const std::string& prompt) override;
  void remember(const std::string& line) override;
  void watchWhileWaiting(std::function<void()> afterCallback) override;
  void printAbovePrompt(const std::string& line) override;

 private:
  // The library's key reader: the next character of the current reader's keys, or -1 at the end.
  static int nextCharacter(FILE* input);
  std::optional<unsigned char> readByte(std::chrono::milliseconds wait);
  // Runs the main loop until standard input or the interruption descriptor is readable, or `wait` has
  // passed (for ever when negative). Returns whether input is there to read.
  bool waitForInput(std::chrono::milliseconds wait);
  // Stops the terminal echoing and editing lines while no line is read; gives the settings back as found.
  void quietTerminal();
  void restoreTerminal();

  // Constant after construction
  const std::string historyPath_;
  const int interruption_;

  TypedKeys keys_;
  std::function<void()> afterCallback_;
  // Standard input and the interruption descriptor as sources of the main loop, watched only while the
  // reader waits for a key; each notes that it turned readable.
  std::unique_ptr<ns::FileDescriptorSource> inputSource_;
  std::unique_ptr<ns::FileDescriptorSource> interruptionSource_;
  bool inputReady_ = false;
  bool interrupted_ = false;
  // Whether the editor is reading a line (between the prompt and its end).
  bool editing_ = false;
  // The terminal's settings as the reader found them; kept while it is quiet.
  std::optional<termios> settingsBeforeQuiet_;
};

}  // namespace terminal
