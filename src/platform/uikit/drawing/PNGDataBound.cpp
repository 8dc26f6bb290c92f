#include "platform/uikit/drawing/PNGDataBound.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace uikit {
namespace {

constexpr std::size_t kSignatureLength = 8;
// 16 bits for each of red, green, blue and alpha.
constexpr std::size_t kDeepestPixelBytes = 8;
// Interlacing sends the picture in seven passes, each row of each pass with a filter byte of its own.
constexpr std::size_t kInterlacePasses = 7;

std::uint32_t bigEndian32(const std::uint8_t* bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 |
         bytes[3];
}

// Inflates the pixel data chunk by chunk, counting what comes out, and stops once the count passes a limit.
class InflatedCounter {
 public:
  // Some files, marked by a "CgBI" chunk ahead of the header chunk, store raw deflate data without the
  // zlib header; the decoder reads those too.
  explicit InflatedCounter(bool rawDeflate) {
    ready_ = inflateInit2(&stream_, rawDeflate ? -MAX_WBITS : MAX_WBITS) == Z_OK;
  }
  ~InflatedCounter() {
    if (ready_) {
      inflateEnd(&stream_);
    }
  }
  InflatedCounter(const InflatedCounter&) = delete;
  InflatedCounter& operator=(const InflatedCounter&) = delete;

  // Feeds `length` bytes; returns false once the data has ended or failed (nothing more will count).
  bool feed(const std::uint8_t* bytes, std::size_t length, std::size_t limit) {
    if (!ready_) {
      return false;
    }
    stream_.next_in = const_cast<Bytef*>(bytes);
    stream_.avail_in = static_cast<uInt>(length);
    while (stream_.avail_in > 0 && inflated_ <= limit) {
      stream_.next_out = scratch_.data();
      stream_.avail_out = static_cast<uInt>(scratch_.size());
      const int status = inflate(&stream_, Z_NO_FLUSH);
      inflated_ += scratch_.size() - stream_.avail_out;
      if (status != Z_OK) {
        // The end of the data, or damage the decoder stops at too.
        return false;
      }
    }
    return true;
  }

  std::size_t inflated() const { return inflated_; }

 private:
  z_stream stream_{};
  bool ready_ = false;
  std::size_t inflated_ = 0;
  std::array<Bytef, 64 * 1024> scratch_{};
};

}  // namespace

bool pngPixelDataFits(const ns::Data& data, int pixelWidth, int pixelHeight) {
  const auto width = static_cast<std::size_t>(pixelWidth);
  const auto height = static_cast<std::size_t>(pixelHeight);
  const std::size_t limit = height * (1 + width * kDeepestPixelBytes) + kInterlacePasses * (height + 1);
  std::size_t position = kSignatureLength;
  bool rawDeflate = false;
  std::optional<InflatedCounter> counter;
  while (data.size() - position >= 12) {
    const std::size_t length = bigEndian32(&data[position]);
    const std::uint8_t* type = &data[position + 4];
    const std::uint8_t* chunk = &data[position + 8];
    const std::size_t available = std::min(length, data.size() - position - 8);
    if (std::memcmp(type, "CgBI", 4) == 0) {
      rawDeflate = true;
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      if (!counter) {
        counter.emplace(rawDeflate);
      }
      const bool more = counter->feed(chunk, available, limit);
      if (counter->inflated() > limit) {
        return false;
      }
      if (!more) {
        return true;
      }
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      break;
    }
    if (length > data.size() - position - 12) {
      break;
    }
    position += 12 + length;
  }
  return true;
}

}  // namespace uikit
