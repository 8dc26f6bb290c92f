#pragma once

// av::RenderedSound: sound made ready for the device: interleaved float samples at the output's rate and
// channels, already at the playback rate and volume, with the item time that each of its frames carries.
// Thread-safe as a value.

#include <cstddef>
#include <vector>

namespace av {

struct RenderedSound {
  std::vector<float> samples;
  // The item time carried by the first frame.
  double seconds = 0;
  // The item time each frame carries: the playback rate over the sample rate.
  double itemSecondsPerFrame = 0;

  std::size_t frameCount(int channelCount) const { return samples.size() / channelCount; }
};

}  // namespace av
