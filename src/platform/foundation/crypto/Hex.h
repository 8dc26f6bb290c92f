#pragma once

// Hexadecimal text of bytes, two digits per byte: lower-case ("%02x" each) is the form in which digests
// are signed, compared and stored; upper-case is the form of identifiers such as UUIDs.
// Thread-safe: pure function.

#include <cstdint>
#include <span>
#include <string>

namespace ns {

enum class HexCase { kLower, kUpper };

// Returns 2 * bytes.size() characters of 0-9 and a-f (kLower) or A-F (kUpper).
std::string hexString(std::span<const std::uint8_t> bytes, HexCase letterCase = HexCase::kLower);

}  // namespace ns
