#pragma once

// Decoding and checking UTF-8 one code point at a time, for code below the text helpers that must check or
// transcode text byte by byte (value descriptions, the JSON writer). Thread-safe: pure functions.

#include <cstddef>
#include <optional>
#include <string_view>

namespace ns {

// Reads the code point that starts at byte `position` of `text` and moves `position` past it. Returns
// std::nullopt and moves `position` past one byte when the bytes there are not well-formed UTF-8: a stray
// continuation byte, a truncated sequence, an overlong form, a surrogate or a value above U+10FFFF.
// REQUIRES: position < text.size().
std::optional<char32_t> decodeUtf8CodePoint(std::string_view text, std::size_t& position);

// Returns true when the whole of `text` is well-formed UTF-8 (the empty text included).
bool isWellFormedUtf8(std::string_view text);

// Returns true when every byte of `text` is ASCII (the empty text included).
bool isASCII(std::string_view text);

}  // namespace ns
