#pragma once

// Standard Base64 of RFC 4648: the alphabet A-Z, a-z, 0-9, "+" and "/", "=" filling the last group of four,
// no line breaks.
// Thread-safe: pure functions.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/foundation/values/Data.h"

namespace ns {

// Returns the Base64 text of `bytes`: 4 * ceil(n / 3) characters, empty for no bytes.
// REQUIRES: bytes.size() < 2^30 (OpenSSL counts in int).
std::string base64Encode(std::span<const std::uint8_t> bytes);

// Returns the bytes that `text` encodes, or std::nullopt when it is not Base64 as base64Encode writes it: a
// length that is not a multiple of four, a character outside the alphabet (white space and line breaks
// included), or "=" anywhere but in the last one or two places.
// REQUIRES: text.size() < 2^31.
std::optional<Data> base64Decode(std::string_view text);

}  // namespace ns
