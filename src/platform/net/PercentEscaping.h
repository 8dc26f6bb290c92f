#pragma once

// Percent-escaping of bytes for URLs and form bodies (RFC 3986 section 2.1). Thread-safe: pure functions.

#include <string>
#include <string_view>

namespace ns {

// The punctuation that RFC 3986 lists as unreserved: never escaped by any caller.
inline constexpr std::string_view kURLUnreservedPunctuation = "-._~";

// Returns `bytes` with every byte that is neither an ASCII letter, an ASCII digit nor one of the characters
// of `keep` replaced by '%' and two upper-case hexadecimal digits. `bytes` is taken as already encoded in
// the character set the caller wants escaped (UTF-8 or any other), one escape per byte.
std::string percentEscape(std::string_view bytes, std::string_view keep);

}  // namespace ns
