#include "sample_backend/media/MediaControls.h"

#include <utility>

namespace sample_backend::media {

void MediaControls::faultNextPlaylist(MediaFault fault) {
  ns::MutexLock lock(mutex_);
  playlistFault_ = std::move(fault);
}

void MediaControls::faultNextSegment(std::size_t index, MediaFault fault) {
  ns::MutexLock lock(mutex_);
  segmentFaults_[index] = std::move(fault);
}

std::optional<MediaFault> MediaControls::takePlaylistFault() {
  ns::MutexLock lock(mutex_);
  return std::exchange(playlistFault_, std::nullopt);
}

std::optional<MediaFault> MediaControls::takeSegmentFault(std::size_t index) {
  ns::MutexLock lock(mutex_);
  const auto found = segmentFaults_.find(index);
  if (found == segmentFaults_.end()) {
    return std::nullopt;
  }
  MediaFault fault = std::move(found->second);
  segmentFaults_.erase(found);
  return fault;
}

}  // namespace sample_backend::media
