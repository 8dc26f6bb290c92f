#pragma once

// Message digests of bytes, as the platform's digest functions compute them. To digest text, pass its UTF-8
// bytes (dataFromString). Lower-case hex and Base64 forms come from Hex.h and Base64.h.
// Thread-safe: pure functions.

#include <cstdint>
#include <span>

#include "platform/foundation/values/Data.h"

namespace ns {

// Returns the 16-byte MD5 digest of `bytes`.
Data md5Digest(std::span<const std::uint8_t> bytes);

// Returns the 20-byte SHA-1 digest of `bytes`.
Data sha1Digest(std::span<const std::uint8_t> bytes);

}  // namespace ns
