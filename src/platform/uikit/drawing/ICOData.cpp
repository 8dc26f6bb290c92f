#include "platform/uikit/drawing/ICOData.h"

#include <stb/stb_image.h>

#include <climits>
#include <cstdint>
#include <cstring>

namespace uikit {
namespace {

constexpr std::size_t kHeaderLength = 6;
constexpr std::size_t kEntryLength = 16;
constexpr std::uint16_t kIconType = 1;
constexpr std::size_t kBitmapHeaderMinimum = 40;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::size_t kFileHeaderLength = 14;

std::uint16_t readUInt16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t readUInt32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void writeUInt32(std::uint8_t* bytes, std::uint32_t value) {
  for (int index = 0; index < 4; ++index) {
    bytes[index] = static_cast<std::uint8_t>(value >> (8 * index));
  }
}

bool isPNG(const std::uint8_t* bytes, std::size_t length) {
  static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return length >= sizeof kSignature && std::memcmp(bytes, kSignature, sizeof kSignature) == 0;
}

// Where the parts of an icon's BMP picture lie, from its header.
struct BitmapLayout {
  int width = 0;
  int height = 0;  // the picture's own height: half the height the header states
  std::size_t headerLength = 0;
  std::size_t paletteLength = 0;
  std::size_t colourBytesEnd = 0;  // the end of the header, the palette and the colour rows
  std::size_t maskOffset = 0;
  std::size_t maskRowLength = 0;
  bool hasMask = false;
};

std::optional<BitmapLayout> layoutOf(const ns::Data& bitmap) {
  if (bitmap.size() < kBitmapHeaderMinimum) {
    return std::nullopt;
  }
  const std::uint32_t headerLength = readUInt32(&bitmap[0]);
  const auto width = static_cast<std::int32_t>(readUInt32(&bitmap[4]));
  const auto statedHeight = static_cast<std::int32_t>(readUInt32(&bitmap[8]));
  const std::uint16_t bitsPerPixel = readUInt16(&bitmap[14]);
  const std::uint32_t compression = readUInt32(&bitmap[16]);
  const std::uint32_t coloursUsed = readUInt32(&bitmap[32]);
  const bool paletted = bitsPerPixel <= 8;
  if (headerLength < kBitmapHeaderMinimum || headerLength > bitmap.size() || width <= 0 || statedHeight < 2 ||
      compression != kUncompressed ||
      (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24 &&
       bitsPerPixel != 32) ||
      (paletted && coloursUsed > (1u << bitsPerPixel))) {
    return std::nullopt;
  }
  BitmapLayout layout;
  layout.width = width;
  layout.height = statedHeight / 2;
  layout.headerLength = headerLength;
  layout.paletteLength = paletted ? 4 * (coloursUsed != 0 ? coloursUsed : (1u << bitsPerPixel)) : 0;
  const std::uint64_t rowLength =
      (std::uint64_t{static_cast<std::uint32_t>(width)} * bitsPerPixel + 31) / 32 * 4;
  const std::uint64_t colourBytesEnd =
      std::uint64_t{headerLength} + layout.paletteLength + rowLength * layout.height;
  if (colourBytesEnd > bitmap.size()) {
    return std::nullopt;
  }
  layout.colourBytesEnd = static_cast<std::size_t>(colourBytesEnd);
  layout.maskOffset = layout.colourBytesEnd;
  layout.maskRowLength = (static_cast<std::size_t>(width) + 31) / 32 * 4;
  layout.hasMask =
      (bitmap.size() - layout.maskOffset) / layout.maskRowLength >= static_cast<std::size_t>(layout.height);
  return layout;
}

}  // namespace

bool hasICOSignature(const ns::Data& data) {
  return data.size() >= kHeaderLength && readUInt16(&data[0]) == 0 && readUInt16(&data[2]) == kIconType &&
         readUInt16(&data[4]) > 0;
}

std::optional<IconPicture> chosenIconPicture(const ns::Data& data) {
  if (!hasICOSignature(data)) {
    return std::nullopt;
  }
  const std::size_t entries = readUInt16(&data[4]);
  if (kHeaderLength + entries * kEntryLength > data.size()) {
    return std::nullopt;
  }
  const std::uint8_t* chosen = nullptr;
  std::uint64_t chosenRank = 0;
  for (std::size_t index = 0; index < entries; ++index) {
    const std::uint8_t* entry = &data[kHeaderLength + index * kEntryLength];
    // A width or height of 0 stands for 256.
    const std::uint64_t width = entry[0] != 0 ? entry[0] : 256;
    const std::uint64_t height = entry[1] != 0 ? entry[1] : 256;
    const std::uint64_t rank = (width * height << 16) | readUInt16(&entry[6]);
    if (chosen == nullptr || rank > chosenRank) {
      chosen = entry;
      chosenRank = rank;
    }
  }
  const std::uint64_t length = readUInt32(&chosen[8]);
  const std::uint64_t offset = readUInt32(&chosen[12]);
  if (length == 0 || offset + length > data.size()) {
    return std::nullopt;
  }
  const std::uint8_t* first = data.data() + offset;
  return IconPicture{ns::Data(first, first + length), isPNG(first, static_cast<std::size_t>(length))};
}

std::optional<ImageDataInfo> iconBitmapInfo(const ns::Data& bitmap) {
  const std::optional<BitmapLayout> layout = layoutOf(bitmap);
  if (!layout) {
    return std::nullopt;
  }
  ImageDataInfo info;
  info.pixelWidth = layout->width;
  info.pixelHeight = layout->height;
  return info;
}

std::optional<DecodedPixels> decodeIconBitmap(const ns::Data& bitmap, const ImageDataInfo& info) {
  const std::optional<BitmapLayout> layout = layoutOf(bitmap);
  if (!layout || layout->width != info.pixelWidth || layout->height != info.pixelHeight ||
      kFileHeaderLength + layout->colourBytesEnd > static_cast<std::size_t>(INT_MAX)) {
    return std::nullopt;
  }
  // The BMP decoder reads whole files: give the picture a file header and its own height.
  ns::Data file(kFileHeaderLength);
  file[0] = 'B';
  file[1] = 'M';
  writeUInt32(&file[2], static_cast<std::uint32_t>(kFileHeaderLength + layout->colourBytesEnd));
  writeUInt32(&file[10],
              static_cast<std::uint32_t>(kFileHeaderLength + layout->headerLength + layout->paletteLength));
  file.insert(file.end(), bitmap.begin(),
              bitmap.begin() + static_cast<std::ptrdiff_t>(layout->colourBytesEnd));
  writeUInt32(&file[kFileHeaderLength + 8], static_cast<std::uint32_t>(layout->height));

  int width = 0;
  int height = 0;
  int channels = 0;
  stbi_uc* decoded = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height,
                                           &channels, STBI_rgb_alpha);
  if (decoded == nullptr || width != layout->width || height != layout->height) {
    stbi_image_free(decoded);
    return std::nullopt;
  }
  DecodedPixels pixels{
      width, height,
      std::vector<std::uint8_t>(decoded, decoded + static_cast<std::size_t>(width) * height * 4)};
  stbi_image_free(decoded);
  if (layout->hasMask) {
    // The mask's rows run from the bottom up, as the colours' do; a set bit makes its pixel see-through.
    for (int row = 0; row < height; ++row) {
      const std::uint8_t* maskRow =
          &bitmap[layout->maskOffset + static_cast<std::size_t>(height - 1 - row) * layout->maskRowLength];
      for (int column = 0; column < width; ++column) {
        if ((maskRow[column / 8] & (0x80 >> (column % 8))) != 0) {
          pixels.rgba[(static_cast<std::size_t>(row) * width + column) * 4 + 3] = 0;
        }
      }
    }
  }
  return pixels;
}

}  // namespace uikit
