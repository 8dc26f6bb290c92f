#pragma once

// av::TempoFilter: plays interleaved float sound faster or slower with its pitch kept, through libavfilter's
// "atempo" filter. It holds back a few tens of milliseconds of input to work on, which finish() lets out at
// the end. Over a whole run the output lasts the input's duration divided by the tempo, and its n-th frame
// carries the input heard at frame n times the tempo.
//
// Thread-safety: one thread at a time.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/avfoundation/LibavPointers.h"
#include "platform/foundation/values/Result.h"

namespace av {

class TempoFilter {
 public:
  // The tempos the filter keeps the pitch of.
  static constexpr double kSlowestTempo = 0.5;
  static constexpr double kFastestTempo = 2.0;

  // Returns a filter for sound of `sampleRate` and `channelCount` at `tempo`, owned by the caller, or a
  // kMediaErrorDomain error when the filter cannot be made.
  // REQUIRES: sampleRate > 0, channelCount > 0, tempo within kSlowestTempo to kFastestTempo.
  static ns::Result<std::unique_ptr<TempoFilter>> open(int sampleRate, int channelCount, double tempo);

  // Takes `frameCount` frames of interleaved samples. Fails with a kMediaErrorDomain error when the filter
  // refuses them.
  ns::Status push(const float* samples, std::size_t frameCount);
  // Ends the input, so that pull() gives everything still held back. Nothing may be pushed after it.
  ns::Status finish();
  // Appends the output ready so far to `samples` (interleaved). Fails with a kMediaErrorDomain error when the
  // filter does.
  ns::Status pull(std::vector<float>& samples);

  // Use open(); public for std::make_unique.
  TempoFilter(FilterGraphPointer graph, AVFilterContext* source, AVFilterContext* sink, int sampleRate,
              int channelCount);

 private:
  // Constant after construction
  const FilterGraphPointer graph_;
  AVFilterContext* const source_;
  AVFilterContext* const sink_;
  const int sampleRate_;
  const int channelCount_;

  // The input frames pushed so far: the next frame's timestamp.
  std::int64_t pushedFrames_ = 0;
};

}  // namespace av
