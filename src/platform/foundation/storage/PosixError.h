#pragma once

// Errors of the operating system's calls as ns::Error values in the POSIX domain: the code is the errno
// value. Thread-safe: pure functions.

#include <string_view>

#include "platform/foundation/values/Error.h"

namespace ns {

// The domain of errors whose code is an errno value.
inline constexpr std::string_view kPOSIXErrorDomain = "NSPOSIXErrorDomain";
// The user-info key of the path a file error concerns.
inline constexpr std::string_view kFilePathErrorKey = "NSFilePath";

// Returns the error `errorNumber` (an errno value) about `path`: its localized description is the system's
// text for the code, and kFilePathErrorKey holds the path.
Error posixError(int errorNumber, std::string_view path);

}  // namespace ns
