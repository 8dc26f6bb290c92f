#pragma once

// The paths of the media service: the signed playlist, the lesson key and the segments, written and read
// in one place. Thread-safe: pure functions.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sample_backend::media {

inline constexpr std::string_view kSignedPlaylistPath = "/class/video/get/m3u8/v2";
inline constexpr std::string_view kLessonKeyPath = "/class/video/key";
inline constexpr std::string_view kSegmentPathPrefix = "/media/";

struct SegmentAddress {
  std::string videoId;
  std::size_t index = 0;
};

// "/media/<videoId>/seg<index>.ts".
std::string segmentPath(std::string_view videoId, std::size_t index);

// Returns the video and index that `path` names, or std::nullopt when it is no segment path.
std::optional<SegmentAddress> parseSegmentPath(std::string_view path);

}  // namespace sample_backend::media
