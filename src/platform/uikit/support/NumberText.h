#pragma once

// Short text forms of numbers for the screen text and for messages. Thread-safe: pure functions.

#include <string>

namespace uikit {

// Returns the shortest decimal text that reads back as `number`: "12", "12.5", "-0.25".
std::string numberText(double number);

// Returns `fraction` as a whole percentage: 0.354 gives "35%".
std::string percentText(double fraction);

}  // namespace uikit
