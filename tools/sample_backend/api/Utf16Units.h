#pragma once

// Conversion between UTF-8 and UTF-16 code units, for the sign's key order and value cut. Ill-formed UTF-8
// reads as U+FFFD, one per offending byte. Thread-safe: pure functions.

#include <string>
#include <string_view>

namespace sample_backend::api {

std::u16string utf16FromUtf8(std::string_view text);
std::string utf8FromUtf16(std::u16string_view units);

// Returns the first `maxUnits` code units of `units`, one fewer when the last of them would be the first
// half of a surrogate pair.
std::u16string_view leadingUnits(std::u16string_view units, std::size_t maxUnits);

}  // namespace sample_backend::api
