#pragma once

// sample_backend::media::MediaControls: what a test asks of the media service's next reply for the
// playlist or for one segment: fail it, replace its type or body, cut it short, break the connection
// part-way, or send it slowly. Each fault applies to the next request of its resource only and is then
// used up, so a retry gets the real thing.
//
// Thread-safety: every method may be called from any thread.

#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <string>

#include "platform/foundation/check/Mutex.h"

namespace sample_backend::media {

struct MediaFault {
  // Answer with this status and a short text body instead of the resource.
  std::optional<unsigned> failWithStatus = std::nullopt;
  // Send this Content-Type instead of the resource's own; an empty text sends none.
  std::optional<std::string> contentType = std::nullopt;
  // Send this body instead of the resource's own (another playlist text, say).
  std::optional<std::string> body = std::nullopt;
  // Announce the whole body, send this many bytes of it and close the connection cleanly.
  std::optional<std::size_t> truncateAfterBytes = std::nullopt;
  // Send this many bytes of the body and reset the connection.
  std::optional<std::size_t> dropAfterBytes = std::nullopt;
  // Send the body in pieces of this many bytes, pausing before each piece after the first.
  std::size_t pieceSize = 0;
  std::chrono::milliseconds pauseBetweenPieces{0};
};

class MediaControls {
 public:
  void faultNextPlaylist(MediaFault fault);
  void faultNextSegment(std::size_t index, MediaFault fault);

  // Return the fault set for the next playlist or segment `index` and clear it; std::nullopt when none.
  std::optional<MediaFault> takePlaylistFault();
  std::optional<MediaFault> takeSegmentFault(std::size_t index);

 private:
  ns::Mutex mutex_;
  std::optional<MediaFault> playlistFault_ QM_GUARDED_BY(mutex_);
  std::map<std::size_t, MediaFault> segmentFaults_ QM_GUARDED_BY(mutex_);
};

}  // namespace sample_backend::media
