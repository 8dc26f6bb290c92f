#pragma once

// Hexadecimal text of bytes, two digits per byte: lower-case ("%02x" each) is the form in which digests
// are signed, compared and stored; upper-case is the form of identifiers such as UUIDs. Reading takes
// either case. Thread-safe: pure functions.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ns {

enum class HexCase { kLower, kUpper };

// Returns 2 * bytes.size() characters of 0-9 and a-f (kLower) or A-F (kUpper).
std::string hexString(std::span<const std::uint8_t> bytes, HexCase letterCase = HexCase::kLower);

// Returns the bytes that `text` spells, two digits of 0-9, a-f or A-F each, or nullopt when `text` has an
// odd length or any other character.
std::optional<std::vector<std::uint8_t>> bytesFromHex(std::string_view text);

}  // namespace ns
