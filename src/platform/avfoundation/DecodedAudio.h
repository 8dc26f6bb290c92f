#pragma once

// av::DecodedAudio: one decoded run of sound as interleaved 32-bit float PCM (one sample per channel in
// turn, nominally within -1 to 1) at the track's own sample rate and channels, with the media time of its
// first sample. Thread-safe as a value.

#include <cstddef>
#include <vector>

namespace av {

struct DecodedAudio {
  int sampleRate = 0;
  int channelCount = 0;
  std::vector<float> samples;
  // Seconds on the stream's clock (its first sound need not be at 0).
  double seconds = 0;

  std::size_t frameCount() const { return channelCount > 0 ? samples.size() / channelCount : 0; }
  double duration() const { return sampleRate > 0 ? static_cast<double>(frameCount()) / sampleRate : 0; }
};

}  // namespace av
