#pragma once

// The application's plain console lines, and the console text of an error. The lines go to standard error
// unless a destination is set (the executable keeps them in a file of the home folder, off the screen).
// Thread-safe: each line is handed over whole, from any thread.

#include <functional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Error.h"

namespace app {

// Writes `line` and a line end.
void consoleLog(std::string_view line);
// Writes each line of `text` (split at its line feeds; a last line feed ends the last line) as a line of
// its own.
void consoleLogLines(std::string_view text);

// Sends every later console line to `destination` (without its line end) instead of standard error; an
// empty function sends them to standard error again. The destination is called on the logging thread and
// must take lines from any thread.
void setConsoleDestination(std::function<void(std::string_view line)> destination);

// Returns the error as the console shows it:
// Error Domain=<domain> Code=<code> "<description>" UserInfo={NSUnderlyingError=<the same, nested>}.
std::string consoleTextOfError(const ns::Error& error);

}  // namespace app
