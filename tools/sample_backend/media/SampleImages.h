#pragma once

// sample_backend::media::SampleImages: the pictures the back end serves, drawn by this code at its start:
// the learner's avatar (a JPEG of about 100 KB) and the live groups' pictures (PNG and JPEG). Each is
// served by GET at a stable path with its content type; a query string is ignored, so that a client may ask
// for the same picture under many URLs (one per learner, say).
//
// Thread-safety: any thread; the pictures are made once, on first use.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Data.h"

namespace sample_backend::media {

inline constexpr std::string_view kAvatarImagePath = "/images/avatar.jpg";
// The live groups' pictures, for the live list's picture fields.
inline constexpr std::array<std::string_view, 3> kLiveGroupImagePaths = {
    "/images/live/group-1.png", "/images/live/group-2.jpg", "/images/live/group-3.png"};

struct SampleImage {
  std::string contentType;
  ns::Data bytes;
};

// Returns the picture served at `path` (without a query), or std::nullopt when none is.
std::optional<SampleImage> sampleImageAtPath(std::string_view path);

}  // namespace sample_backend::media
