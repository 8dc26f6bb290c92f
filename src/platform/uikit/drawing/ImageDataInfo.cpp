#include "platform/uikit/drawing/ImageDataInfo.h"

#include <stb/stb_image.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/uikit/drawing/ICOData.h"
#include "platform/uikit/drawing/PNGDataBound.h"
#include "platform/uikit/drawing/TIFFData.h"

namespace uikit {
namespace {

// Walks a GIF's blocks the way the decoder does, without decoding them, and counts the image descriptors.
// The walk follows the decoder's own reading (a graphic control extension of unusual length included), so
// the decoder never finds a frame the count misses.
class GIFFrameCounter {
 public:
  explicit GIFFrameCounter(const ns::Data& data) : bytes_(data.data()), size_(data.size()) {}

  std::size_t count() {
    constexpr std::size_t kHeaderLength = 13;  // signature, screen size, flags, background, aspect
    if (size_ < kHeaderLength) {
      return 0;
    }
    position_ = kHeaderLength;
    skipColorTable(bytes_[10]);
    std::size_t frames = 0;
    while (!atEnd()) {
      switch (next()) {
        case 0x2C:  // image descriptor: position and size (8 bytes), flags, colour table, code size, data
          ++frames;
          skip(8);
          skipColorTable(next());
          skip(1);
          skipSubBlocks();
          break;
        case 0x21:  // extension
          skipExtension();
          break;
        default:  // the trailer, or bytes the decoder stops at
          return frames;
      }
    }
    return frames;
  }

 private:
  bool atEnd() const { return position_ >= size_; }
  // The next byte, or 0 past the end, as the decoder reads it.
  std::uint8_t next() { return atEnd() ? 0 : bytes_[position_++]; }
  void skip(std::size_t length) { position_ = length > size_ - position_ ? size_ : position_ + length; }
  void skipColorTable(std::uint8_t flags) {
    if ((flags & 0x80) != 0) {
      skip(3u << ((flags & 7) + 1));
    }
  }
  void skipSubBlocks() {
    while (!atEnd()) {
      const std::uint8_t length = next();
      if (length == 0) {
        return;
      }
      skip(length);
    }
  }
  void skipExtension() {
    constexpr std::uint8_t kGraphicControl = 0xF9;
    constexpr std::uint8_t kGraphicControlLength = 4;
    if (next() == kGraphicControl) {
      const std::uint8_t length = next();
      if (length != kGraphicControlLength) {
        // The decoder skips an odd-sized control block and reads a block tag right after it.
        skip(length);
        return;
      }
      skip(kGraphicControlLength);
    }
    skipSubBlocks();
  }

  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t position_ = 0;
};

bool startsWith(const ns::Data& data, std::string_view signature) {
  return data.size() >= signature.size() && std::memcmp(data.data(), signature.data(), signature.size()) == 0;
}

bool isPNG(const ns::Data& data) {
  return startsWith(data, "\x89PNG\r\n\x1a\n");
}

bool isGIF(const ns::Data& data) {
  return startsWith(data, "GIF8");
}

// Only these four formats go to the common decoder: it knows others whose loose signatures any bytes may
// match.
bool hasKnownSignature(const ns::Data& data) {
  return isPNG(data) || startsWith(data, "\xFF\xD8\xFF") || isGIF(data) || startsWith(data, "BM");
}

// The account of the picture an icon file shows: a PNG read as any PNG is, or the icon's own BMP picture.
std::optional<ImageDataInfo> iconDataInfo(const ns::Data& data) {
  const std::optional<IconPicture> picture = chosenIconPicture(data);
  if (!picture) {
    return std::nullopt;
  }
  std::optional<ImageDataInfo> info =
      picture->isPNG ? imageDataInfo(picture->bytes) : iconBitmapInfo(picture->bytes);
  if (info) {
    info->format = ImageDataInfo::Format::kICO;
  }
  return info;
}

}  // namespace

std::optional<ImageDataInfo> imageDataInfo(const ns::Data& data) {
  if (data.size() > static_cast<std::size_t>(INT_MAX)) {
    return std::nullopt;
  }
  if (hasTIFFSignature(data)) {
    return tiffDataInfo(data);
  }
  if (hasICOSignature(data)) {
    return iconDataInfo(data);
  }
  if (!hasKnownSignature(data)) {
    return std::nullopt;
  }
  ImageDataInfo info;
  int components = 0;
  if (stbi_info_from_memory(data.data(), static_cast<int>(data.size()), &info.pixelWidth, &info.pixelHeight,
                            &components) == 0 ||
      info.pixelWidth <= 0 || info.pixelHeight <= 0) {
    return std::nullopt;
  }
  if (isPNG(data) && !pngPixelDataFits(data, info.pixelWidth, info.pixelHeight)) {
    return std::nullopt;
  }
  if (isGIF(data)) {
    info.frameCount = GIFFrameCounter(data).count();
    if (info.frameCount == 0) {
      return std::nullopt;
    }
  }
  return info;
}

}  // namespace uikit
