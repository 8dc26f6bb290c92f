#pragma once

// readBoundedLine(): one line of a stream, read without ever holding more than the longest line allowed, so
// that a script or a pipe with an endless line cannot fill the memory. Thread-safety: uses only the stream
// given.

#include <cstddef>
#include <istream>
#include <optional>
#include <string>

#include "platform/foundation/values/Result.h"

namespace terminal {

// Returns the next line of `in` without its line feed, std::nullopt at the end of the stream, or, for a
// line longer than `longest` bytes, an error (kUsageErrorDomain) that says so, with the rest of that line
// skipped. A last line without a line feed counts as a line.
ns::Result<std::optional<std::string>> readBoundedLine(std::istream& in, std::size_t longest);

// Returns the error (kUsageErrorDomain) of a line longer than `longest` bytes.
ns::Error lineTooLongError(std::size_t longest);

}  // namespace terminal
