#pragma once

// The error of a command-line flag, a terminal command or a script line that cannot be used as written. Its
// localized description is the sentence a person reads. Thread-safe: a pure function.

#include <string>

#include "platform/foundation/values/Error.h"

namespace terminal {

inline constexpr char kUsageErrorDomain[] = "com.quillmark.usage";

// Returns the error in kUsageErrorDomain (code 1) that `description` describes.
ns::Error usageError(std::string description);

}  // namespace terminal
