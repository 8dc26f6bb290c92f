#include "sample_backend/media/TestSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "platform/foundation/check/Check.h"

namespace sample_backend::media {
namespace {

constexpr double kToneAmplitude = 0.3;
constexpr int kSquareSize = 16;
// Luma values the scrolling gradient runs through before it starts again.
constexpr int kLumaPeriod = 200;

}  // namespace

TestSignal::TestSignal(std::uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> chroma(64, 192);
  std::uniform_int_distribution<int> semitone(0, 12);
  blueDifference_ = static_cast<std::uint8_t>(chroma(random));
  redDifference_ = static_cast<std::uint8_t>(chroma(random));
  pitch_ = 330.0 * std::pow(2.0, semitone(random) / 12.0);
}

void TestSignal::drawPicture(std::int64_t frameIndex, int width, int height, std::span<std::uint8_t> luma,
                             int lumaStride, std::span<std::uint8_t> blueDifference,
                             std::span<std::uint8_t> redDifference, int chromaStride) const {
  QM_DCHECK(width % 2 == 0 && height % 2 == 0 && width > kSquareSize && height > kSquareSize,
            "width and height are even and larger than the square");
  // Every row is a window onto one ramp, so that a large picture costs a copy per row rather than
  // arithmetic per pixel: luma row y holds 16 + (x + y + 4 * frameIndex) % 200 (video range, 16-235).
  std::vector<std::uint8_t> lumaRamp(static_cast<std::size_t>(width + kLumaPeriod));
  for (std::size_t index = 0; index < lumaRamp.size(); ++index) {
    lumaRamp[index] = static_cast<std::uint8_t>(16 + index % kLumaPeriod);
  }
  const int squareX = static_cast<int>((frameIndex * 3) % (width - kSquareSize));
  const int squareY = static_cast<int>((frameIndex * 2) % (height - kSquareSize));
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row =
        luma.subspan(static_cast<std::size_t>(y * lumaStride), static_cast<std::size_t>(width)).data();
    const auto shift = static_cast<std::size_t>((y + frameIndex * 4) % kLumaPeriod);
    std::copy_n(lumaRamp.begin() + static_cast<std::ptrdiff_t>(shift), width, row);
    if (y >= squareY && y < squareY + kSquareSize) {
      std::fill_n(row + squareX, kSquareSize, std::uint8_t{235});
    }
  }
  // Chroma row y holds blue + (y - x) / 4 and red + (x + y) / 4: blue's ramp runs from the bottom row's
  // first pixel (y - x largest) to the top row's last, red's from the top row's first.
  const int chromaWidth = width / 2;
  const int chromaHeight = height / 2;
  std::vector<std::uint8_t> blueRamp(static_cast<std::size_t>(chromaWidth + chromaHeight));
  std::vector<std::uint8_t> redRamp(blueRamp.size());
  for (int index = 0; index < static_cast<int>(blueRamp.size()); ++index) {
    blueRamp[static_cast<std::size_t>(index)] =
        static_cast<std::uint8_t>(blueDifference_ + (chromaHeight - 1 - index) / 4);
    redRamp[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(redDifference_ + index / 4);
  }
  for (int y = 0; y < chromaHeight; ++y) {
    const auto offset = static_cast<std::size_t>(y * chromaStride);
    const auto rowBytes = static_cast<std::size_t>(chromaWidth);
    std::copy_n(blueRamp.begin() + (chromaHeight - 1 - y), chromaWidth,
                blueDifference.subspan(offset, rowBytes).begin());
    std::copy_n(redRamp.begin() + y, chromaWidth, redDifference.subspan(offset, rowBytes).begin());
  }
}

void TestSignal::fillTone(std::int64_t firstSample, int sampleRate, std::span<float> samples) const {
  for (std::size_t index = 0; index < samples.size(); ++index) {
    const double seconds = static_cast<double>(firstSample + static_cast<std::int64_t>(index)) / sampleRate;
    samples[index] = static_cast<float>(kToneAmplitude * std::sin(2 * std::numbers::pi * pitch_ * seconds));
  }
}

}  // namespace sample_backend::media
