#include "sample_backend/media/MediaPaths.h"

#include <charconv>

namespace sample_backend::media {
namespace {

constexpr std::string_view kSegmentNamePrefix = "seg";
constexpr std::string_view kSegmentNameSuffix = ".ts";

}  // namespace

std::string segmentPath(std::string_view videoId, std::size_t index) {
  std::string path(kSegmentPathPrefix);
  path.append(videoId).append("/").append(kSegmentNamePrefix).append(std::to_string(index));
  return path.append(kSegmentNameSuffix);
}

std::optional<SegmentAddress> parseSegmentPath(std::string_view path) {
  if (!path.starts_with(kSegmentPathPrefix)) {
    return std::nullopt;
  }
  path.remove_prefix(kSegmentPathPrefix.size());
  const std::size_t slash = path.find('/');
  if (slash == 0 || slash == std::string_view::npos) {
    return std::nullopt;
  }
  SegmentAddress address{std::string(path.substr(0, slash)), 0};
  std::string_view name = path.substr(slash + 1);
  if (!name.starts_with(kSegmentNamePrefix) || !name.ends_with(kSegmentNameSuffix)) {
    return std::nullopt;
  }
  name = name.substr(kSegmentNamePrefix.size(),
                     name.size() - kSegmentNamePrefix.size() - kSegmentNameSuffix.size());
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), address.index);
  if (name.empty() || error != std::errc() || end != name.data() + name.size()) {
    return std::nullopt;
  }
  return address;
}

}  // namespace sample_backend::media
