#include "main/terminal/EditingLineReader.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

// The library's interface in the style of the GNU one; it needs <cstdio> first.
#include <editline/readline.h>

namespace terminal {

EditingLineReader::EditingLineReader(std::string historyPath) : historyPath_(std::move(historyPath)) {
  using_history();
  stifle_history(kHistoryLength);
  // A missing history file is the first run's normal case, and an unreadable one only costs the history.
  read_history(historyPath_.c_str());
}

std::optional<std::string> EditingLineReader::readLine(const std::string& prompt) {
  const std::unique_ptr<char, decltype(&std::free)> line(readline(prompt.c_str()), &std::free);
  if (!line) {
    std::fputs("\n", stdout);
    std::fflush(stdout);
    return std::nullopt;
  }
  if (line.get()[0] != '\0') {
    add_history(line.get());
    // A history that cannot be saved only costs the next run its history; the session goes on.
    write_history(historyPath_.c_str());
  }
  return std::string(line.get());
}

}  // namespace terminal
