#pragma once

// av::DecodedPicture: one decoded video frame converted to RGBA pixels, 4 bytes a pixel, rows top to bottom
// without padding, with the media time at which it is shown: what PlayerLayer::picture() gives. Thread-safe
// as a value.

#include "platform/avfoundation/RGBAPicture.h"

namespace av {

struct DecodedPicture : RGBAPicture {
  // Seconds on the clock of whoever made it (item time from a player layer).
  double seconds = 0;
};

}  // namespace av
