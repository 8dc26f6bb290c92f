#include "platform/avfoundation/PlaylistLine.h"

namespace av {

namespace {

constexpr std::string_view kKeyTag = "#EXT-X-KEY:";
constexpr std::string_view kSegmentInfoTag = "#EXTINF:";

bool isBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

std::vector<PlaylistLine> splitPlaylistLines(std::string_view text) {
  std::vector<PlaylistLine> lines;
  // An "#EXTINF:" tag whose segment line has not been seen yet, and its duration.
  bool segmentAnnounced = false;
  std::string_view announcedDuration;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    std::string_view line =
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    while (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    PlaylistLine classified{PlaylistLine::Kind::kOther, line, {}};
    if (line.starts_with(kKeyTag)) {
      classified.kind = PlaylistLine::Kind::kKey;
    } else if (line.starts_with(kSegmentInfoTag)) {
      segmentAnnounced = true;
      announcedDuration = line.substr(kSegmentInfoTag.size());
    } else if (segmentAnnounced && !line.starts_with('#') && !isBlank(line)) {
      classified.kind = PlaylistLine::Kind::kSegment;
      classified.duration = announcedDuration;
      segmentAnnounced = false;
    }
    lines.push_back(classified);
    if (end == std::string_view::npos) {
      return lines;
    }
    start = end + 1;
  }
}

}  // namespace av
