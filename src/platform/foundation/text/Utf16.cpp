#include "platform/foundation/text/Utf16.h"

#include <cstdint>

#include "platform/foundation/values/Utf8.h"

namespace ns {
namespace {

// Reads the code point at `offset` and moves `offset` past it; an ill-formed byte reads as U+FFFD.
char32_t nextCodePoint(std::string_view text, std::size_t& offset) {
  return decodeUtf8CodePoint(text, offset).value_or(U'\uFFFD');
}

std::size_t utf16Units(char32_t codePoint) {
  return codePoint > 0xFFFF ? 2 : 1;
}

// Maps a code point to a rank whose numeric order is the order of its UTF-16 units: code points below
// U+D800 keep their place, those above U+FFFF (lead units D800...DBFF) keep theirs, and U+E000...U+FFFF
// move above all of them.
std::uint32_t utf16Rank(char32_t codePoint) {
  constexpr std::uint32_t kAboveSupplementary = 0x110000;
  return (codePoint >= 0xE000 && codePoint <= 0xFFFF) ? codePoint + kAboveSupplementary : codePoint;
}

}  // namespace

std::size_t utf16Length(std::string_view text) {
  std::size_t units = 0;
  for (std::size_t offset = 0; offset < text.size();) {
    units += utf16Units(nextCodePoint(text, offset));
  }
  return units;
}

std::string_view utf16Prefix(std::string_view text, std::size_t maxUnits) {
  std::size_t units = 0;
  std::size_t offset = 0;
  while (offset < text.size()) {
    std::size_t next = offset;
    units += utf16Units(nextCodePoint(text, next));
    if (units > maxUnits) {
      break;
    }
    offset = next;
  }
  return text.substr(0, offset);
}

std::weak_ordering utf16Compare(std::string_view a, std::string_view b) {
  std::size_t offsetA = 0;
  std::size_t offsetB = 0;
  while (offsetA < a.size() && offsetB < b.size()) {
    const std::uint32_t rankA = utf16Rank(nextCodePoint(a, offsetA));
    const std::uint32_t rankB = utf16Rank(nextCodePoint(b, offsetB));
    if (rankA != rankB) {
      return rankA <=> rankB;
    }
  }
  return (a.size() - offsetA) <=> (b.size() - offsetB);
}

}  // namespace ns
