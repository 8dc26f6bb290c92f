#include "platform/uikit/drawing/Image.h"

#include <stb/stb_image.h>

#include <fstream>
#include <iterator>
#include <optional>

#include "platform/foundation/storage/Bundle.h"

namespace uikit {
namespace {

// Reads the scale from a file name's "@2x" or "@3x" suffix, as the platform does.
double scaleOfFileName(std::string_view path) {
  if (path.find("@3x.") != std::string_view::npos) {
    return 3;
  }
  if (path.find("@2x.") != std::string_view::npos) {
    return 2;
  }
  return 1;
}

std::optional<ns::Data> readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  return ns::Data(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::optional<std::string> bundlePathOfImage(std::string_view name) {
  const auto bundle = ns::Bundle::mainBundle();
  if (auto path = bundle->pathForResource(std::string(name) + "@2x", "png")) {
    return path;
  }
  if (auto path = bundle->pathForResource(name, "png")) {
    return path;
  }
  return bundle->pathForResource(name, "");
}

}  // namespace

Image::Image(std::string name, Size size, double scale)
    : name_(std::move(name)), size_(size), scale_(scale) {}

std::shared_ptr<const Image> Image::imageNamed(std::string_view name) {
  if (auto path = bundlePathOfImage(name)) {
    if (auto data = readFile(*path)) {
      if (auto image = decode(*data, scaleOfFileName(*path), std::string(name))) {
        return image;
      }
    }
  }
  return std::make_shared<const Image>(std::string(name), Size{}, 1);
}

std::shared_ptr<const Image> Image::imageWithData(const ns::Data& data, double scale) {
  return decode(data, scale, {});
}

std::shared_ptr<const Image> Image::imageWithContentsOfFile(const std::string& path, std::string name) {
  auto data = readFile(path);
  return data ? decode(*data, scaleOfFileName(path), std::move(name)) : nullptr;
}

std::shared_ptr<const Image> Image::imageWithRGBAPixels(int width, int height,
                                                        std::vector<std::uint8_t> pixels) {
  if (width <= 0 || height <= 0 || pixels.size() % 4 != 0 ||
      pixels.size() / 4 != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return nullptr;
  }
  auto image = std::make_shared<Image>(std::string(),
                                       Size{static_cast<double>(width), static_cast<double>(height)}, 1);
  image->pixelWidth_ = width;
  image->pixelHeight_ = height;
  image->pixels_ = std::move(pixels);
  return image;
}

std::shared_ptr<const Image> Image::resizableImageWithCapInsets(EdgeInsets insets) const {
  auto copy = std::make_shared<Image>(*this);
  copy->capInsets_ = insets;
  return copy;
}

std::shared_ptr<Image> Image::decode(const ns::Data& data, double scale, std::string name) {
  if (data.empty() || scale <= 0) {
    return nullptr;
  }
  int width = 0;
  int height = 0;
  int channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(data.data(), static_cast<int>(data.size()), &width, &height,
                                          &channels, STBI_rgb_alpha);
  if (pixels == nullptr) {
    return nullptr;
  }
  auto image = std::make_shared<Image>(std::move(name), Size{width / scale, height / scale}, scale);
  image->pixelWidth_ = width;
  image->pixelHeight_ = height;
  image->pixels_.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
  stbi_image_free(pixels);
  return image;
}

}  // namespace uikit
