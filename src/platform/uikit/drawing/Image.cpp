#include "platform/uikit/drawing/Image.h"

#include <stb/stb_image.h>

#include <fstream>
#include <iterator>
#include <optional>

#include "platform/foundation/storage/Bundle.h"
#include "platform/uikit/drawing/ICOData.h"
#include "platform/uikit/drawing/ImageDataInfo.h"
#include "platform/uikit/drawing/TIFFData.h"

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

std::shared_ptr<const Image> Image::imageWithData(const ns::Data& data, const ImageDataInfo& info,
                                                  double scale) {
  return decode(data, info, scale, {});
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
  return imageOfPixels(std::string(), width, height, 1, std::move(pixels));
}

std::shared_ptr<Image> Image::imageOfPixels(std::string name, int width, int height, double scale,
                                            std::vector<std::uint8_t> pixels) {
  auto image = std::make_shared<Image>(std::move(name), Size{width / scale, height / scale}, scale);
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
  const std::optional<ImageDataInfo> info = imageDataInfo(data);
  return info ? decode(data, *info, scale, std::move(name)) : nullptr;
}

std::shared_ptr<Image> Image::decode(const ns::Data& data, const ImageDataInfo& info, double scale,
                                     std::string name) {
  if (!info.fitsWithin(kMaximumDecodedPixels) || scale <= 0) {
    return nullptr;
  }
  if (info.format == ImageDataInfo::Format::kTIFF) {
    return imageOfPixels(std::move(name), decodeTIFF(data, info), scale);
  }
  if (info.format == ImageDataInfo::Format::kICO) {
    return decodeICO(data, info, scale, std::move(name));
  }
  if (info.frameCount > 1) {
    return decodeGIF(data, scale, std::move(name));
  }
  int width = 0;
  int height = 0;
  int channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(data.data(), static_cast<int>(data.size()), &width, &height,
                                          &channels, STBI_rgb_alpha);
  if (pixels == nullptr) {
    return nullptr;
  }
  std::vector<std::uint8_t> rgba(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
  stbi_image_free(pixels);
  return imageOfPixels(std::move(name), width, height, scale, std::move(rgba));
}

std::shared_ptr<Image> Image::decodeICO(const ns::Data& data, const ImageDataInfo& info, double scale,
                                        std::string name) {
  const std::optional<IconPicture> picture = chosenIconPicture(data);
  if (!picture) {
    return nullptr;
  }
  if (picture->isPNG) {
    // The account of the PNG itself, which `info` repeats but for its format.
    const std::optional<ImageDataInfo> pngInfo = imageDataInfo(picture->bytes);
    return pngInfo ? decode(picture->bytes, *pngInfo, scale, std::move(name)) : nullptr;
  }
  return imageOfPixels(std::move(name), decodeIconBitmap(picture->bytes, info), scale);
}

std::shared_ptr<Image> Image::imageOfPixels(std::string name, std::optional<DecodedPixels> pixels,
                                            double scale) {
  return pixels
             ? imageOfPixels(std::move(name), pixels->width, pixels->height, scale, std::move(pixels->rgba))
             : nullptr;
}

std::shared_ptr<Image> Image::decodeGIF(const ns::Data& data, double scale, std::string name) {
  int* delays = nullptr;
  int width = 0;
  int height = 0;
  int frameCount = 0;
  int channels = 0;
  stbi_uc* pixels = stbi_load_gif_from_memory(data.data(), static_cast<int>(data.size()), &delays, &width,
                                              &height, &frameCount, &channels, STBI_rgb_alpha);
  if (pixels == nullptr || frameCount <= 0) {
    stbi_image_free(pixels);
    stbi_image_free(delays);
    return nullptr;
  }
  const std::size_t frameBytes = static_cast<std::size_t>(width) * height * 4;
  std::vector<std::shared_ptr<const Image>> frames;
  double durationMilliseconds = 0;
  for (int frame = 0; frame < frameCount; ++frame) {
    const stbi_uc* first = pixels + frameBytes * frame;
    frames.push_back(
        imageOfPixels({}, width, height, scale, std::vector<std::uint8_t>(first, first + frameBytes)));
    durationMilliseconds += delays != nullptr ? delays[frame] : 0;
  }
  stbi_image_free(pixels);
  stbi_image_free(delays);
  auto image = imageOfPixels(std::move(name), width, height, scale, frames.front()->rgbaPixels());
  if (frames.size() > 1) {
    image->frames_ = std::move(frames);
    image->duration_ = durationMilliseconds / 1000;
  }
  return image;
}

}  // namespace uikit
