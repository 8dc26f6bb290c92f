#include "sample_backend/media/LessonPlaylist.h"

#include <cmath>
#include <cstdio>

#include "platform/foundation/crypto/Hex.h"
#include "sample_backend/media/MediaPaths.h"

namespace sample_backend::media {
namespace {

std::string decimal(double seconds, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, seconds);
  return text;
}

}  // namespace

std::string lessonPlaylist(const MediaLibrary& library, std::string_view baseURL, std::string_view videoId,
                           std::string_view signedTime) {
  std::string query = "?videoId=";
  query.append(videoId).append("&t=").append(signedTime);
  std::string text = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-MEDIA-SEQUENCE:0\n#EXT-X-ALLOW-CACHE:YES\n";
  text.append("#EXT-X-TARGETDURATION:").append(decimal(std::ceil(library.segmentDuration()), 0)).append("\n");
  text.append("#EXT-X-KEY:METHOD=AES-128,URI=\"").append(baseURL).append(kLessonKeyPath).append(query);
  text.append("\",IV=0x").append(ns::hexString(library.iv())).append("\n");
  for (std::size_t index = 0; index < library.segmentCount(); ++index) {
    text.append("#EXTINF:").append(decimal(library.segmentDuration(), 3)).append(",\n");
    text.append(baseURL).append(segmentPath(videoId, index)).append(query).append("\n");
  }
  return text.append("#EXT-X-ENDLIST\n");
}

}  // namespace sample_backend::media
