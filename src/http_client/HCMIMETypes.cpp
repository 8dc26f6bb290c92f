#include "http_client/HCMIMETypes.h"

#include <array>
#include <utility>

#include "platform/net/HTTPHeaderFields.h"

namespace http_client {

std::string HCMIMETypeForPathExtension(std::string_view extension) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 28> kTypes = {{
      {"aac", "audio/aac"},       {"css", "text/css"},          {"csv", "text/csv"},
      {"gif", "image/gif"},       {"gz", "application/gzip"},   {"htm", "text/html"},
      {"html", "text/html"},      {"jpeg", "image/jpeg"},       {"jpg", "image/jpeg"},
      {"js", "text/javascript"},  {"json", "application/json"}, {"m3u8", "application/x-mpegURL"},
      {"m4a", "audio/mp4"},       {"mov", "video/quicktime"},   {"mp3", "audio/mpeg"},
      {"mp4", "video/mp4"},       {"pdf", "application/pdf"},   {"plist", "application/x-plist"},
      {"png", "image/png"},       {"rtf", "text/rtf"},          {"svg", "image/svg+xml"},
      {"tif", "image/tiff"},      {"tiff", "image/tiff"},       {"ts", "video/mp2t"},
      {"txt", "text/plain"},      {"wav", "audio/wav"},         {"xml", "application/xml"},
      {"zip", "application/zip"},
  }};
  const std::string lowercase = ns::lowercaseASCII(extension);
  for (const auto& [known, type] : kTypes) {
    if (lowercase == known) {
      return std::string(type);
    }
  }
  return "application/octet-stream";
}

}  // namespace http_client
