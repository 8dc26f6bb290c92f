#pragma once

// uikit::ImagePNGRepresentation: an image's pixels as the bytes of a PNG file, the platform's way to save a
// picture.
//
// Thread-safety: any thread (images are immutable).

#include <optional>

#include "platform/foundation/values/Data.h"
#include "platform/uikit/drawing/Image.h"

namespace uikit {

// Returns the PNG bytes of `image`'s pixels (RGBA, at its pixel size); std::nullopt for an image without
// pixels (one only named) or one too wide to encode.
std::optional<ns::Data> ImagePNGRepresentation(const Image& image);

}  // namespace uikit
