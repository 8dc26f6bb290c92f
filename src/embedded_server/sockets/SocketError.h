#pragma once

// socketError(): the errors of sockets, files and name lookups that the web server and the run-loop socket
// meet, as ns::Error values. Thread-safety: pure function.

#include <boost/system/error_code.hpp>
#include <string_view>

#include "platform/foundation/values/Error.h"

namespace embedded_server {

// The domain of the errors that are not the operating system's: failed name lookups, a closed connection.
inline constexpr std::string_view kRunLoopSocketErrorDomain = "com.quillmark.sockets";

// Returns `error` with its text as localized description: the operating system's errors in the POSIX domain
// with their errno value as code, every other error in kRunLoopSocketErrorDomain with its own code.
// REQUIRES: error is set.
ns::Error socketError(const boost::system::error_code& error);

}  // namespace embedded_server
