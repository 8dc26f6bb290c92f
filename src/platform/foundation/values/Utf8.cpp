#include "platform/foundation/values/Utf8.h"

#include <algorithm>

#include "platform/foundation/check/Check.h"

namespace ns {

std::optional<char32_t> decodeUtf8CodePoint(std::string_view text, std::size_t& position) {
  QM_DCHECK(position < text.size(), "position < text.size()");
  const auto lead = static_cast<unsigned char>(text[position]);
  ++position;
  if (lead < 0x80) {
    return lead;
  }
  // The lead byte gives the sequence length and the smallest code point that length may encode, so that
  // overlong forms are refused.
  std::size_t continuationCount;
  char32_t codePoint;
  char32_t smallest;
  if (lead >= 0xC2 && lead <= 0xDF) {
    continuationCount = 1;
    codePoint = lead & 0x1F;
    smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    continuationCount = 2;
    codePoint = lead & 0x0F;
    smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    continuationCount = 3;
    codePoint = lead & 0x07;
    smallest = 0x10000;
  } else {
    return std::nullopt;
  }
  if (text.size() - position < continuationCount) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < continuationCount; ++i) {
    const auto next = static_cast<unsigned char>(text[position + i]);
    if ((next & 0xC0) != 0x80) {
      return std::nullopt;
    }
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    return std::nullopt;
  }
  position += continuationCount;
  return codePoint;
}

bool isWellFormedUtf8(std::string_view text) {
  std::size_t position = 0;
  while (position < text.size()) {
    if (!decodeUtf8CodePoint(text, position)) {
      return false;
    }
  }
  return true;
}

bool isASCII(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace ns
