#include "sample_backend/media/SampleImages.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

namespace sample_backend::media {
namespace {

struct PictureSpec {
  int width;
  int height;
  // The colours the picture's diagonal runs between.
  std::array<std::uint8_t, 3> from;
  std::array<std::uint8_t, 3> to;
  // How much grain each pixel gets, 0 to 255: grain is what gives the avatar its size as a JPEG.
  int grain;
  std::uint32_t seed;
};

// A diagonal blend with rings and grain, RGB, row by row: something a person can tell apart at a glance.
std::vector<std::uint8_t> drawPicture(const PictureSpec& spec) {
  std::vector<std::uint8_t> pixels;
  pixels.reserve(static_cast<std::size_t>(spec.width) * spec.height * 3);
  std::uint32_t state = spec.seed;
  const double centreX = spec.width / 2.0;
  const double centreY = spec.height / 2.0;
  for (int y = 0; y < spec.height; ++y) {
    for (int x = 0; x < spec.width; ++x) {
      const double along = static_cast<double>(x + y) / (spec.width + spec.height);
      const double ring = 0.5 + 0.5 * std::sin(std::hypot(x - centreX, y - centreY) / 6.0);
      for (std::size_t channel = 0; channel < 3; ++channel) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const double blend = spec.from[channel] + (spec.to[channel] - spec.from[channel]) * along;
        const double grain =
            spec.grain == 0 ? 0 : static_cast<int>(state % (2 * spec.grain + 1)) - spec.grain;
        const double value = blend * (0.75 + 0.25 * ring) + grain;
        pixels.push_back(static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0)));
      }
    }
  }
  return pixels;
}

void appendBytes(void* context, void* data, int size) {
  auto* bytes = static_cast<ns::Data*>(context);
  const auto* first = static_cast<const std::uint8_t*>(data);
  bytes->insert(bytes->end(), first, first + size);
}

SampleImage encodePNG(const PictureSpec& spec) {
  SampleImage image{"image/png", {}};
  stbi_write_png_to_func(appendBytes, &image.bytes, spec.width, spec.height, 3, drawPicture(spec).data(),
                         spec.width * 3);
  return image;
}

SampleImage encodeJPEG(const PictureSpec& spec) {
  // Above 90 the encoder keeps colour at full resolution, which brings the avatar to about 100 KB.
  constexpr int kQuality = 92;
  SampleImage image{"image/jpeg", {}};
  stbi_write_jpg_to_func(appendBytes, &image.bytes, spec.width, spec.height, 3, drawPicture(spec).data(),
                         kQuality);
  return image;
}

const std::map<std::string, SampleImage, std::less<>>& sampleImages() {
  static const auto* images = new std::map<std::string, SampleImage, std::less<>>{
      {std::string(kAvatarImagePath), encodeJPEG({256, 256, {240, 170, 90}, {60, 110, 200}, 60, 2016})},
      {std::string(kLiveGroupImagePaths[0]), encodePNG({240, 135, {40, 150, 220}, {250, 250, 250}, 0, 1})},
      {std::string(kLiveGroupImagePaths[1]), encodeJPEG({240, 135, {220, 80, 60}, {250, 210, 90}, 8, 2})},
      {std::string(kLiveGroupImagePaths[2]), encodePNG({240, 135, {70, 170, 90}, {30, 60, 40}, 0, 3})},
  };
  return *images;
}

}  // namespace

std::optional<SampleImage> sampleImageAtPath(std::string_view path) {
  const auto found = sampleImages().find(path);
  return found == sampleImages().end() ? std::nullopt : std::optional<SampleImage>(found->second);
}

}  // namespace sample_backend::media
