#include "sample_backend/media/TestSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "platform/foundation/check/Check.h"

namespace sample_backend::media {
namespace {

constexpr double kToneAmplitude = 0.3;
constexpr int kSquareSize = 16;

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
  QM_DCHECK(width % 2 == 0 && height % 2 == 0, "width and height are even");
  const int squareX = static_cast<int>((frameIndex * 3) % (width - kSquareSize));
  const int squareY = static_cast<int>((frameIndex * 2) % (height - kSquareSize));
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row =
        luma.subspan(static_cast<std::size_t>(y * lumaStride), static_cast<std::size_t>(width)).data();
    const bool squareRow = y >= squareY && y < squareY + kSquareSize;
    for (int x = 0; x < width; ++x) {
      // Video range: luma 16-235.
      row[x] = static_cast<std::uint8_t>(16 + (x + y + frameIndex * 4) % 200);
    }
    if (squareRow) {
      std::fill_n(row + squareX, kSquareSize, std::uint8_t{235});
    }
  }
  for (int y = 0; y < height / 2; ++y) {
    const auto offset = static_cast<std::size_t>(y * chromaStride);
    std::uint8_t* blueRow = blueDifference.subspan(offset, static_cast<std::size_t>(width / 2)).data();
    std::uint8_t* redRow = redDifference.subspan(offset, static_cast<std::size_t>(width / 2)).data();
    for (int x = 0; x < width / 2; ++x) {
      blueRow[x] = static_cast<std::uint8_t>(blueDifference_ + (y - x) / 4);
      redRow[x] = static_cast<std::uint8_t>(redDifference_ + (x + y) / 4);
    }
  }
}

void TestSignal::fillTone(std::int64_t firstSample, int sampleRate, std::span<float> samples) const {
  for (std::size_t index = 0; index < samples.size(); ++index) {
    const double seconds = static_cast<double>(firstSample + static_cast<std::int64_t>(index)) / sampleRate;
    samples[index] = static_cast<float>(kToneAmplitude * std::sin(2 * std::numbers::pi * pitch_ * seconds));
  }
}

}  // namespace sample_backend::media
