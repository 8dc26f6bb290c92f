#pragma once

// The MIME type of a file, chosen by its extension (letter case ignored), as file parts of multipart bodies
// declare it. Thread-safe: pure function.

#include <string>
#include <string_view>

namespace http_client {

// Returns the MIME type of files named with `extension` (without its point), or "application/octet-stream"
// when the extension is not known.
std::string HCMIMETypeForPathExtension(std::string_view extension);

}  // namespace http_client
