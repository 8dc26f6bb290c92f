#pragma once

// The checks of a signed playlist request, in this order:
//   1. "app_id" and "sign" are present (else 9801);
//   2. "app_id" is the catalogue's application id (else 9701);
//   3. "sign" is the request sign of the other parameters, decoded from the query (else 9999);
//   4. "time" is within kSignedPlaylistWindow of the server's time (else 9999);
//   5. "sid" names a live session (else 9708) whose learner is "userId" (else 9703);
//   6. "videoId" is a video id: letters, digits, "-" and "_" (else 9711).
// Thread-safe: reads the catalogue and the sessions only.

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "sample_backend/api/ApiReply.h"
#include "sample_backend/api/SampleCatalogue.h"
#include "sample_backend/api/SessionRegistry.h"

namespace sample_backend::media {

// How far the signed time may stand from the server's time, either way.
inline constexpr std::chrono::seconds kSignedPlaylistWindow{600};

// Returns the refusal of the playlist request whose decoded query is `query`, or std::nullopt when it
// passes every check.
std::optional<api::ApiReply> checkSignedPlaylistRequest(
    const std::map<std::string, std::string, std::less<>>& query, const api::SampleCatalogue& catalogue,
    const api::SessionRegistry& sessions, std::int64_t serverTime);

}  // namespace sample_backend::media
