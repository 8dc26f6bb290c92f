#pragma once

// Percent-escaping and -decoding of bytes for URLs and form bodies (RFC 3986 section 2.1). Thread-safe:
// pure functions.

#include <optional>
#include <string>
#include <string_view>

namespace ns {

// The punctuation that RFC 3986 lists as unreserved: never escaped by any caller.
inline constexpr std::string_view kURLUnreservedPunctuation = "-._~";

// Returns `bytes` with every byte that is neither an ASCII letter, an ASCII digit nor one of the characters
// of `keep` replaced by '%' and two upper-case hexadecimal digits. `bytes` is taken as already encoded in
// the character set the caller wants escaped (UTF-8 or any other), one escape per byte.
std::string percentEscape(std::string_view bytes, std::string_view keep);

// Returns the byte that the escape at the start of `text` stands for, or nullopt when `text` does not start
// with '%' and two hexadecimal digits (of either case). Callers with their own rules for what surrounds
// an escape decode with it.
std::optional<char> leadingPercentEscape(std::string_view text);

// Returns `text` with every "%hh" replaced by the byte hh, or nullopt when a '%' does not start such an
// escape. Any byte may come out, NUL included: callers that cannot hold one refuse it themselves.
std::optional<std::string> percentDecode(std::string_view text);

}  // namespace ns
