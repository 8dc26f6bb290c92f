#include "platform/avfoundation/sound/SoundTimeline.h"

#include <algorithm>

namespace av {

void SoundTimeline::reset() {
  pieces_.clear();
  writtenFrames_ = 0;
}

void SoundTimeline::wrote(double seconds, std::size_t frameCount, double itemSecondsPerFrame) {
  if (frameCount == 0) {
    return;
  }
  const auto frames = static_cast<std::int64_t>(frameCount);
  pieces_.push_back({writtenFrames_, frames, seconds, itemSecondsPerFrame});
  writtenFrames_ += frames;
}

std::optional<double> SoundTimeline::itemSecondsAt(std::int64_t frame) {
  while (pieces_.size() > 1 && pieces_[1].firstFrame <= frame) {
    pieces_.pop_front();
  }
  if (pieces_.empty() || frame < pieces_.front().firstFrame) {
    return std::nullopt;
  }
  const Piece& piece = pieces_.front();
  const std::int64_t into = std::min(frame - piece.firstFrame, piece.frameCount);
  return piece.seconds + static_cast<double>(into) * piece.itemSecondsPerFrame;
}

double SoundTimeline::itemSecondsAfter(std::int64_t frame) const {
  double seconds = 0;
  for (const Piece& piece : pieces_) {
    const std::int64_t after = piece.firstFrame + piece.frameCount - std::max(frame, piece.firstFrame);
    if (after > 0) {
      seconds += static_cast<double>(after) * piece.itemSecondsPerFrame;
    }
  }
  return seconds;
}

}  // namespace av
