#pragma once

// MPEG transport stream that stands in for a lesson's video: 188-byte packets, each starting with the sync
// byte 0x47. A segment opens with a program association table and a program map table naming one video
// stream, followed by one packetised elementary stream of that video whose bytes come from a seeded
// generator, so that the same seed always gives the same segments.
// Thread-safe: pure function of its arguments.

#include <cstddef>
#include <random>

#include "platform/foundation/values/Data.h"

namespace sample_backend::media {

inline constexpr std::size_t kTransportPacketSize = 188;
inline constexpr std::uint8_t kTransportSyncByte = 0x47;

// Returns a segment of `packetCount` packets (at least the two tables and one video packet: 3), drawing
// its video bytes from `random`.
// REQUIRES: packetCount >= 3.
ns::Data makeTransportStreamSegment(std::mt19937& random, std::size_t packetCount);

}  // namespace sample_backend::media
