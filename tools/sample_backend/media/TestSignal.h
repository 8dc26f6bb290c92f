#pragma once

// The moving test picture and the tone of the sample lessons, drawn from a seed: the seed picks the
// picture's colours and the tone's pitch, and the frame or sample index moves them on, so that every
// moment of a lesson looks and sounds a little different and the same seed always gives the same signal.
// Thread-safety: a value; its methods are pure.

#include <cstddef>
#include <cstdint>
#include <span>

namespace sample_backend::media {

class TestSignal {
 public:
  explicit TestSignal(std::uint32_t seed);

  // Draws frame `frameIndex` into the planes of a `width` × `height` 4:2:0 picture: a diagonal gradient that
  // scrolls and a bright square that crosses the picture.
  // REQUIRES: width and height are even and larger than 16 (the square's side); each plane holds its rows
  // at its stride.
  void drawPicture(std::int64_t frameIndex, int width, int height, std::span<std::uint8_t> luma,
                   int lumaStride, std::span<std::uint8_t> blueDifference,
                   std::span<std::uint8_t> redDifference, int chromaStride) const;

  // Fills `samples` with the tone from sample `firstSample` on, at `sampleRate`.
  void fillTone(std::int64_t firstSample, int sampleRate, std::span<float> samples) const;

 private:
  // Constant after construction
  std::uint8_t blueDifference_;
  std::uint8_t redDifference_;
  double pitch_;
};

}  // namespace sample_backend::media
