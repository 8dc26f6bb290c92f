#pragma once

// Random numbers and bytes from the system's cryptographically secure generator, for anything that must not
// be guessed (identifiers, keys, IVs, boundaries) and for plain chance alike.
// Thread-safe. A generator that fails (a broken installation) ends the process rather than hand out
// predictable values.

#include <cstddef>
#include <cstdint>

#include "platform/foundation/values/Data.h"

namespace ns {

// Returns a uniformly distributed 32-bit number.
std::uint32_t randomUInt32();

// Returns a number uniformly distributed in [0, upperBound), without the bias of taking a remainder;
// 0 when upperBound is 0.
std::uint32_t randomUniform(std::uint32_t upperBound);

// Returns `count` random bytes.
Data randomBytes(std::size_t count);

}  // namespace ns
