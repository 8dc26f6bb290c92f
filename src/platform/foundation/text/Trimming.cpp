#include "platform/foundation/text/Trimming.h"

#include <unicode/uchar.h>

#include <algorithm>

#include "platform/foundation/values/Utf8.h"

namespace ns {
namespace {

bool isWhitespaceOrNewline(char32_t codePoint) {
  if ((codePoint >= 0x09 && codePoint <= 0x0D) || codePoint == 0x85) {
    return true;
  }
  const auto category = static_cast<UCharCategory>(u_charType(static_cast<UChar32>(codePoint)));
  return category == U_SPACE_SEPARATOR || category == U_LINE_SEPARATOR || category == U_PARAGRAPH_SEPARATOR;
}

}  // namespace

std::string_view trimmingWhitespaceAndNewlines(std::string_view text) {
  // One forward pass: the kept part runs from the first other character to the end of the last one.
  std::size_t keptStart = text.size();
  std::size_t keptEnd = 0;
  for (std::size_t offset = 0; offset < text.size();) {
    const std::size_t characterStart = offset;
    // An ill-formed byte is not white space, so it is kept.
    const std::optional<char32_t> codePoint = decodeUtf8CodePoint(text, offset);
    if (!codePoint || !isWhitespaceOrNewline(*codePoint)) {
      keptStart = std::min(keptStart, characterStart);
      keptEnd = offset;
    }
  }
  return keptStart < keptEnd ? text.substr(keptStart, keptEnd - keptStart) : std::string_view();
}

}  // namespace ns
