#include "embeddedServer/HTTP/HTTPDocumentRoot.h"

#include <algorithm>
#include <array>
#include <system_error>

namespace fs = std::filesystem;

namespace {

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// Returns `text` with its percent escapes decoded, or nullopt for a broken escape or an encoded NUL, which
// no file name can hold.
std::optional<std::string> percentDecoded(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded.push_back(text[i]);
      continue;
    }
    if (i + 2 >= text.size()) {
      return std::nullopt;
    }
    const int high = hexDigitValue(text[i + 1]);
    const int low = hexDigitValue(text[i + 2]);
    if (high < 0 || low < 0 || (high == 0 && low == 0)) {
      return std::nullopt;
    }
    decoded.push_back(static_cast<char>(high * 16 + low));
    i += 2;
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
  const auto decoded = percentDecoded(target);
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
