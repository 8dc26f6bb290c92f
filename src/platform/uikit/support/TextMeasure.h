#pragma once

// An estimate of the size text takes in a font, for sizeToFit() of labels and buttons. The stand-in draws no
// glyphs, so the estimate only needs to be stable and plausible: half the font size per narrow (ASCII)
// character, the full size per wide one (CJK and others), and the font's line height per line.
// Thread-safe: a pure function.

#include <string_view>

#include "platform/uikit/drawing/Font.h"
#include "platform/uikit/geometry/Geometry.h"

namespace uikit {

Size estimatedTextSize(std::string_view text, const Font& font);

}  // namespace uikit
