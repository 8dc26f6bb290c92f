#pragma once

// EditingLineReader: lines typed at a terminal, edited with the line-editing library (libedit): the arrow
// keys move in the line and through the history, Ctrl-L clears the screen. The history is read from a file
// when the reader starts and written back after every line, so it carries over to the next run. At the end
// of the input (Ctrl-D) it ends the prompt's line, so that what comes after starts on a line of its own.
//
// Use it only when standard input is a terminal; the library reads and writes the process's standard
// streams.
//
// Thread-safety: main thread only; one reader a process at a time (the library keeps one global state).

#include <string>

#include "main/terminal/LineReader.h"

namespace terminal {

class EditingLineReader : public LineReader {
 public:
  // The most lines the history file keeps.
  static constexpr int kHistoryLength = 500;

  // Reads the history from `historyPath`, if the file exists.
  explicit EditingLineReader(std::string historyPath);
  EditingLineReader(const EditingLineReader&) = delete;
  EditingLineReader& operator=(const EditingLineReader&) = delete;

  std::optional<std::string> readLine(const std::string& prompt) override;

 private:
  // Constant after construction
  const std::string historyPath_;
};

}  // namespace terminal
