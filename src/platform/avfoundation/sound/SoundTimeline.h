#pragma once

// av::SoundTimeline: what has been written to the device since it was last flushed, as item time: for each
// written piece, where it starts among the frames written and the item time its frames carry. Given the
// frame the device plays now (what was written minus the device's latency), it tells the item time heard and
// how much item time is still written ahead of it.
//
// Thread-safety: one thread at a time.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

namespace av {

class SoundTimeline {
 public:
  // Forgets everything written: the device was flushed.
  void reset();
  // Records `frameCount` frames written after the others, the first carrying item time `seconds` and each
  // `itemSecondsPerFrame` of it.
  void wrote(double seconds, std::size_t frameCount, double itemSecondsPerFrame);
  // The frames written since the last reset.
  std::int64_t writtenFrames() const { return writtenFrames_; }

  // The item time of the frame at `frame` among those written: nullopt before the first frame; the end of
  // the last piece when `frame` lies beyond everything written. Pieces wholly before `frame` are forgotten,
  // so `frame` may only grow between resets.
  std::optional<double> itemSecondsAt(std::int64_t frame);
  // The item time carried by the frames written after `frame`; all that is written when `frame` is negative.
  double itemSecondsAfter(std::int64_t frame) const;

 private:
  struct Piece {
    std::int64_t firstFrame = 0;
    std::int64_t frameCount = 0;
    double seconds = 0;
    double itemSecondsPerFrame = 0;
  };

  std::deque<Piece> pieces_;
  std::int64_t writtenFrames_ = 0;
};

}  // namespace av
