#pragma once

// Where the running program's file is. Thread-safe: a pure function.

#include <string>

namespace ns {

// Returns the absolute path of the running executable, or an empty text when the system does not tell.
std::string executablePath();

}  // namespace ns
