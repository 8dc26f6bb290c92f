#pragma once

// uikit::TextAttributes: the font and colour of a run of text, as attributed strings and navigation-bar
// titles carry them. Unset members leave the default. A plain value; thread-safe as a value.

#include <optional>

#include "platform/uikit/drawing/Color.h"
#include "platform/uikit/drawing/Font.h"

namespace uikit {

struct TextAttributes {
  std::optional<Font> font;
  std::optional<Color> foregroundColor;
  friend bool operator==(const TextAttributes&, const TextAttributes&) = default;
};

}  // namespace uikit
