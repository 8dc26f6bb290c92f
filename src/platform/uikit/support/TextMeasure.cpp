#include "platform/uikit/support/TextMeasure.h"

#include <algorithm>

namespace uikit {

Size estimatedTextSize(std::string_view text, const Font& font) {
  double lineWidth = 0;
  double widestLine = 0;
  int lines = text.empty() ? 0 : 1;
  for (std::size_t index = 0; index < text.size(); ++index) {
    const auto byte = static_cast<unsigned char>(text[index]);
    if (byte == '\n') {
      widestLine = std::max(widestLine, lineWidth);
      lineWidth = 0;
      ++lines;
    } else if (byte < 0x80) {
      lineWidth += font.pointSize() / 2;
    } else if (byte >= 0xC0) {
      // The lead byte of a multi-byte character; its continuation bytes add nothing.
      lineWidth += font.pointSize();
    }
  }
  widestLine = std::max(widestLine, lineWidth);
  return Size{widestLine, lines * font.lineHeight()};
}

}  // namespace uikit
