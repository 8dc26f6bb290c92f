#pragma once

// HTTPMimeTypes: the Content-Type of a served file, chosen by its extension (letter case ignored). The
// lesson files get their media types so that a player accepts them; anything unknown is sent as bytes.
// Thread-safety: pure function.

#include <filesystem>
#include <string_view>

namespace embedded_server {

class HTTPMimeTypes {
 public:
  // Returns the media type for `path`, "application/octet-stream" when the extension is not known.
  static std::string_view typeForPath(const std::filesystem::path& path);
};

}  // namespace embedded_server
