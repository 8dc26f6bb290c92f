#pragma once

// The index playlist of one lesson as the media service sends it: version, media sequence, allow-cache,
// target duration, one AES-128 key line with the library's IV, then every segment of the library, each an
// absolute URL with a query string.
// Thread-safe: pure function.

#include <string>
#include <string_view>

#include "sample_backend/media/MediaLibrary.h"

namespace sample_backend::media {

// Returns the playlist of the video `videoId` served from `baseURL` ("http://127.0.0.1:<port>"); the
// segment and key URLs carry `videoId` and `signedTime` in their queries.
// REQUIRES: `videoId` and `signedTime` need no escaping in a URL.
std::string lessonPlaylist(const MediaLibrary& library, std::string_view baseURL, std::string_view videoId,
                           std::string_view signedTime);

}  // namespace sample_backend::media
