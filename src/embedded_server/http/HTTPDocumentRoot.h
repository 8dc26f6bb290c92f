#pragma once

// HTTPDocumentRoot: maps a request target to the file it names below a folder, and refuses everything that
// would leave the folder: ".." segments (also when percent-encoded) and symbolic links whose target lies
// outside it. A connection keeps the document root it was accepted with.
// Thread-safety: immutable after construction; fileForTarget() may be called from any thread.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace embedded_server {

class HTTPDocumentRoot {
 public:
  // `path` is the folder to serve, resolved (symbolic links and all) once, here. An empty path, or one that
  // names no folder, serves nothing.
  explicit HTTPDocumentRoot(const std::string& path);

  // Returns the regular file that `target` (an origin-form request target: an absolute path with an
  // optional query) names: the file itself, or for a folder its "index.html", else its "index.htm". The
  // result is the file's canonical path, with every symbolic link resolved. Returns nullopt when the target
  // is malformed, leaves the folder, or names nothing that can be served.
  std::optional<std::filesystem::path> fileForTarget(std::string_view target) const;

 private:
  // Constant after construction
  std::optional<std::filesystem::path> root_;
};

}  // namespace embedded_server
