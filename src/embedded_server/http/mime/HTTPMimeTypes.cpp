#include "embedded_server/http/mime/HTTPMimeTypes.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace embedded_server {

std::string_view HTTPMimeTypes::typeForPath(const std::filesystem::path& path) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kTypes = {{
      {".m3u8", "application/x-mpegURL"},
      {".ts", "video/mp2t"},
      {".mp4", "video/mp4"},
      {".html", "text/html"},
      {".htm", "text/html"},
      {".txt", "text/plain"},
  }};
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const auto& [suffix, type] : kTypes) {
    if (extension == suffix) {
      return type;
    }
  }
  return "application/octet-stream";
}

}  // namespace embedded_server
