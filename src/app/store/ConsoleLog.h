#pragma once

// The application's plain console lines (standard error), and the console text of an error. Thread-safe:
// each line is written whole.

#include <string>
#include <string_view>

#include "platform/foundation/values/Error.h"

namespace app {

// Writes `line` and a line end.
void consoleLog(std::string_view line);

// Returns the error as the console shows it:
// Error Domain=<domain> Code=<code> "<description>" UserInfo={NSUnderlyingError=<the same, nested>}.
std::string consoleTextOfError(const ns::Error& error);

}  // namespace app
