#include "embedded_server/http/HTTPDocumentRoot.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "platform/net/PercentEscaping.h"

namespace embedded_server {

namespace fs = std::filesystem;

namespace {

// Returns `target` with its percent escapes decoded, or nullopt for a broken escape or a NUL, which no
// file name can hold.
std::optional<std::string> decodedTarget(std::string_view target) {
  std::optional<std::string> decoded = ns::percentDecode(target);
  if (!decoded || decoded->find('\0') != std::string::npos) {
    return std::nullopt;
  }
  return decoded;
}

// Returns the path below the root that the decoded target names, without "." segments, or nullopt when a
// ".." segment would climb.
std::optional<fs::path> relativePath(std::string_view decodedPath) {
  fs::path relative;
  while (!decodedPath.empty()) {
    const auto slash = decodedPath.find('/');
    const std::string_view segment = decodedPath.substr(0, slash);
    decodedPath = slash == std::string_view::npos ? std::string_view() : decodedPath.substr(slash + 1);
    if (segment == "..") {
      return std::nullopt;
    }
    if (!segment.empty() && segment != ".") {
      relative /= segment;
    }
  }
  return relative;
}

bool isInside(const fs::path& path, const fs::path& folder) {
  return std::mismatch(folder.begin(), folder.end(), path.begin(), path.end()).first == folder.end();
}

// Returns the canonical path of `candidate` when it exists inside `root` and is of the wanted kind.
std::optional<fs::path> resolvedInside(const fs::path& candidate, const fs::path& root, fs::file_type kind) {
  std::error_code error;
  const fs::path resolved = fs::canonical(candidate, error);
  if (error || !isInside(resolved, root) || fs::status(resolved, error).type() != kind || error) {
    return std::nullopt;
  }
  return resolved;
}

}  // namespace

HTTPDocumentRoot::HTTPDocumentRoot(const std::string& path) {
  std::error_code error;
  if (!path.empty()) {
    fs::path root = fs::canonical(path, error);
    if (!error && fs::is_directory(root, error)) {
      root_ = std::move(root);
    }
  }
}

std::optional<fs::path> HTTPDocumentRoot::fileForTarget(std::string_view target) const {
  if (!root_ || target.empty() || target.front() != '/') {
    return std::nullopt;
  }
  target = target.substr(0, target.find_first_of("?#"));
  const auto decoded = decodedTarget(target);
  const auto relative = decoded ? relativePath(*decoded) : std::nullopt;
  if (!relative) {
    return std::nullopt;
  }
  const fs::path& root = *root_;
  const fs::path candidate = root / *relative;
  if (auto file = resolvedInside(candidate, root, fs::file_type::regular)) {
    return file;
  }
  if (!resolvedInside(candidate, root, fs::file_type::directory)) {
    return std::nullopt;
  }
  for (const char* index : {"index.html", "index.htm"}) {
    if (auto file = resolvedInside(candidate / index, root, fs::file_type::regular)) {
      return file;
    }
  }
  return std::nullopt;
}

}  // namespace embedded_server
