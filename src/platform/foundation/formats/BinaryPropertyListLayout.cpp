#include "platform/foundation/formats/BinaryPropertyListLayout.h"

#include <algorithm>

namespace ns {
namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kTrailerSize = 32;
// Fields of the trailer, by their offset in it.
constexpr std::size_t kTrailerOffsetSize = 6;
constexpr std::size_t kTrailerReferenceSize = 7;
constexpr std::size_t kTrailerObjectCount = 8;
constexpr std::size_t kTrailerTopObject = 16;
constexpr std::size_t kTrailerOffsetTable = 24;

constexpr std::uint8_t kIntegerType = 0x1;
constexpr std::uint8_t kCountFollows = 0xF;

// Returns the `width` bytes at `offset` as a big-endian number, or nullopt when `width` is not 1 to 8 or the
// bytes do not lie in `bytes`.
std::optional<std::uint64_t> bigEndian(std::span<const std::uint8_t> bytes, std::uint64_t offset,
                                       std::uint64_t width) {
  if (width == 0 || width > 8 || offset > bytes.size() || bytes.size() - offset < width) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (std::uint64_t i = 0; i < width; ++i) {
    value = value << 8 | bytes[offset + i];
  }
  return value;
}

}  // namespace

std::optional<BinaryPropertyListLayout> BinaryPropertyListLayout::read(
    std::span<const std::uint8_t> document) {
  if (document.size() < kHeaderSize + kTrailerSize) {
    return std::nullopt;
  }
  const std::size_t trailer = document.size() - kTrailerSize;
  const std::uint64_t offsetSize = document[trailer + kTrailerOffsetSize];
  const std::uint64_t offsetTable = *bigEndian(document, trailer + kTrailerOffsetTable, 8);
  if (offsetSize == 0 || offsetTable > trailer) {
    return std::nullopt;
  }
  const std::uint64_t tableEntries = (trailer - offsetTable) / offsetSize;
  return BinaryPropertyListLayout(
      document, offsetSize, document[trailer + kTrailerReferenceSize],
      std::min(*bigEndian(document, trailer + kTrailerObjectCount, 8), tableEntries),
      *bigEndian(document, trailer + kTrailerTopObject, 8), offsetTable);
}

BinaryPropertyListLayout::BinaryPropertyListLayout(std::span<const std::uint8_t> document,
                                                   std::uint64_t offsetSize, std::uint64_t referenceSize,
                                                   std::uint64_t objectCount, std::uint64_t topObject,
                                                   std::uint64_t offsetTable)
    : document_(document),
      offsetSize_(offsetSize),
      referenceSize_(referenceSize),
      objectCount_(objectCount),
      topObject_(topObject),
      offsetTable_(offsetTable) {}

std::optional<BinaryPropertyListLayout::Object> BinaryPropertyListLayout::object(std::uint64_t index) const {
  if (index >= objectCount_) {
    return std::nullopt;
  }
  const std::optional<std::uint64_t> offset =
      bigEndian(document_, offsetTable_ + index * offsetSize_, offsetSize_);
  if (!offset || *offset >= document_.size()) {
    return std::nullopt;
  }
  const std::uint8_t marker = document_[*offset];
  const std::uint8_t type = marker >> 4;
  const std::uint64_t countInMarker = marker & 0x0F;
  if (countInMarker != kCountFollows) {
    return Object{type, countInMarker, *offset + 1};
  }
  const std::optional<std::uint64_t> integerMarker = bigEndian(document_, *offset + 1, 1);
  if (!integerMarker || *integerMarker >> 4 != kIntegerType) {
    return Object{type, std::nullopt, *offset + 2};
  }
  const std::uint64_t width = std::uint64_t{1} << (*integerMarker & 0x0F);
  return Object{type, bigEndian(document_, *offset + 2, width), *offset + 2 + width};
}

std::uint64_t BinaryPropertyListLayout::referencesFittingAt(std::uint64_t contents) const {
  if (referenceSize_ == 0 || contents >= document_.size()) {
    return 0;
  }
  return (document_.size() - contents) / referenceSize_;
}

std::optional<std::uint64_t> BinaryPropertyListLayout::reference(std::uint64_t contents,
                                                                 std::uint64_t position) const {
  if (position >= referencesFittingAt(contents)) {
    return std::nullopt;
  }
  return bigEndian(document_, contents + position * referenceSize_, referenceSize_);
}

}  // namespace ns
