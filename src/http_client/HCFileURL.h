#pragma once

// File URLs ("file:///path", "file://localhost/path") as the HTTP client reads and writes files through
// them. Thread-safe: pure functions.

#include <optional>
#include <string>

#include "platform/net/URL.h"

namespace http_client {

// Returns the file system path that `url` names, percent-escapes decoded, or std::nullopt when `url` is not
// a file URL (another scheme, a host other than "localhost", a path that is not absolute, or an escape that
// decodes to NUL).
std::optional<std::string> HCFileSystemPathOfURL(const ns::URL& url);

}  // namespace http_client
