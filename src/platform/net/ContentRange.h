#pragma once

// Reading a partial reply: where the bytes of a 206 reply start, and whether they continue a body already
// held, so that a download or a body asked for "from byte N on" is only appended to by the right bytes.

#include <cstdint>
#include <optional>

#include "platform/net/HTTPURLResponse.h"

namespace ns {

// The first byte position of "Content-Range: bytes 1000-1999/2000"; nullopt without a readable one.
std::optional<std::uint64_t> contentRangeStart(const HTTPURLResponse& response);

// True when `response` is a 206 whose bytes start at `offset`.
bool continuesBodyAt(const HTTPURLResponse& response, std::uint64_t offset);

}  // namespace ns
