#pragma once

// Trimming of white space and line ends at both ends of UTF-8 text, with the platform's set of such
// characters: every Unicode space, line and paragraph separator (Zs, Zl, Zp: U+0020, U+00A0, U+3000, ...),
// the controls U+0009...U+000D and U+0085.
// Thread-safe: pure functions.

#include <string_view>

namespace ns {

// Returns the part of `text` between its leading and trailing white space and line ends, as a view into
// `text`; empty when `text` holds nothing else.
std::string_view trimmingWhitespaceAndNewlines(std::string_view text);

}  // namespace ns
