#pragma once

// av::DecodedPicture: one decoded video frame converted to RGBA pixels, 4 bytes a pixel, rows top to bottom
// without padding, with the media time at which it is shown: what PlayerLayer::picture() gives. Thread-safe
// as a value.

#include <cstdint>

#include "platform/foundation/values/Data.h"

namespace av {

struct DecodedPicture {
  int width = 0;
  int height = 0;
  ns::Data rgba;
  // Seconds on the clock of whoever made it (item time from a player layer).
  double seconds = 0;
};

}  // namespace av
