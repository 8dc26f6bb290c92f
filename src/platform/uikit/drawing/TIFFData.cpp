#include "platform/uikit/drawing/TIFFData.h"

#include <tiffio.h>

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstring>
#include <memory>

#include "platform/uikit/drawing/Image.h"

namespace uikit {
namespace {

// The largest single allocation libtiff may make: a full RGBA raster at the decoding bound, and a little
// room for its own tables.
constexpr tmsize_t kMaximumSingleAllocation =
    static_cast<tmsize_t>(Image::kMaximumDecodedPixels * 4 + (std::size_t{1} << 20));

// A read-only file over bytes in memory, in the shape libtiff's client procedures want.
struct MemoryFile {
  const ns::Data& data;
  toff_t position = 0;
};

tsize_t readMemory(thandle_t handle, tdata_t buffer, tsize_t size) {
  auto* file = static_cast<MemoryFile*>(handle);
  if (size < 0 || file->position >= file->data.size()) {
    return 0;
  }
  const std::size_t count = std::min<std::size_t>(
      static_cast<std::size_t>(size), file->data.size() - static_cast<std::size_t>(file->position));
  std::memcpy(buffer, file->data.data() + file->position, count);
  file->position += count;
  return static_cast<tsize_t>(count);
}

tsize_t refuseWrite(thandle_t, tdata_t, tsize_t) {
  return -1;
}

toff_t seekMemory(thandle_t handle, toff_t offset, int whence) {
  auto* file = static_cast<MemoryFile*>(handle);
  toff_t base = 0;
  if (whence == SEEK_CUR) {
    base = file->position;
  } else if (whence == SEEK_END) {
    base = file->data.size();
  }
  // A seek past the end is allowed, as on a file; reads there find nothing.
  file->position = base + offset;
  return file->position;
}

int closeMemory(thandle_t) {
  return 0;
}

toff_t sizeOfMemory(thandle_t handle) {
  return static_cast<MemoryFile*>(handle)->data.size();
}

// Hands libtiff the bytes themselves, so that it reads strips and tiles without copying them.
int mapMemory(thandle_t handle, tdata_t* base, toff_t* size) {
  auto* file = static_cast<MemoryFile*>(handle);
  *base = const_cast<std::uint8_t*>(file->data.data());
  *size = file->data.size();
  return 1;
}

void unmapMemory(thandle_t, tdata_t, toff_t) {}

int dropMessage(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}

struct TIFFCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using OpenTIFF = std::unique_ptr<TIFF, TIFFCloser>;

// Opens `file` for reading, or returns nullptr when it is not a TIFF libtiff can read.
OpenTIFF openTIFF(MemoryFile& file) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (options == nullptr) {
    return nullptr;
  }
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaximumSingleAllocation);
  TIFFOpenOptionsSetErrorHandlerExtR(options, dropMessage, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, dropMessage, nullptr);
  OpenTIFF tiff(TIFFClientOpenExt("picture", "r", &file, readMemory, refuseWrite, seekMemory, closeMemory,
                                  sizeOfMemory, mapMemory, unmapMemory, options));
  TIFFOpenOptionsFree(options);
  return tiff;
}

// Undoes the premultiplication libtiff applies to pictures with alpha.
std::uint8_t unpremultiplied(std::uint32_t colour, std::uint32_t alpha) {
  return static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (colour * 255 + alpha / 2) / alpha));
}

}  // namespace

bool hasTIFFSignature(const ns::Data& data) {
  static constexpr std::uint8_t kLittleEndian[] = {'I', 'I', 42, 0};
  static constexpr std::uint8_t kBigEndian[] = {'M', 'M', 0, 42};
  return data.size() >= 4 &&
         (std::memcmp(data.data(), kLittleEndian, 4) == 0 || std::memcmp(data.data(), kBigEndian, 4) == 0);
}

std::optional<ImageDataInfo> tiffDataInfo(const ns::Data& data) {
  MemoryFile file{data};
  const OpenTIFF tiff = openTIFF(file);
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  char message[1024];
  if (!tiff || TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) != 1 ||
      TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height) != 1 || width == 0 || height == 0 ||
      width > INT_MAX || height > INT_MAX || TIFFRGBAImageOK(tiff.get(), message) != 1) {
    return std::nullopt;
  }
  ImageDataInfo info;
  info.format = ImageDataInfo::Format::kTIFF;
  info.pixelWidth = static_cast<int>(width);
  info.pixelHeight = static_cast<int>(height);
  return info;
}

std::optional<DecodedPixels> decodeTIFF(const ns::Data& data, const ImageDataInfo& info) {
  MemoryFile file{data};
  const OpenTIFF tiff = openTIFF(file);
  if (!tiff) {
    return std::nullopt;
  }
  const std::size_t pixelCount = static_cast<std::size_t>(info.pixelWidth) * info.pixelHeight;
  std::vector<std::uint32_t> raster(pixelCount);
  if (TIFFReadRGBAImageOriented(tiff.get(), static_cast<std::uint32_t>(info.pixelWidth),
                                static_cast<std::uint32_t>(info.pixelHeight), raster.data(),
                                ORIENTATION_TOPLEFT, 1) != 1) {
    return std::nullopt;
  }
  DecodedPixels pixels{info.pixelWidth, info.pixelHeight, {}};
  pixels.rgba.reserve(pixelCount * 4);
  for (const std::uint32_t packed : raster) {
    const std::uint32_t alpha = TIFFGetA(packed);
    if (alpha == 0 || alpha == 255) {
      pixels.rgba.insert(
          pixels.rgba.end(),
          {static_cast<std::uint8_t>(TIFFGetR(packed)), static_cast<std::uint8_t>(TIFFGetG(packed)),
           static_cast<std::uint8_t>(TIFFGetB(packed)), static_cast<std::uint8_t>(alpha)});
    } else {
      pixels.rgba.insert(pixels.rgba.end(),
                         {unpremultiplied(TIFFGetR(packed), alpha), unpremultiplied(TIFFGetG(packed), alpha),
                          unpremultiplied(TIFFGetB(packed), alpha), static_cast<std::uint8_t>(alpha)});
    }
  }
  return pixels;
}

}  // namespace uikit
