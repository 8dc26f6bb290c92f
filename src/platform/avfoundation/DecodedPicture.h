#pragma once

// av::DecodedPicture: one decoded video frame as RGBA pixels, 4 bytes a pixel, rows top to bottom without
// padding, with the media time at which it is shown. Thread-safe as a value.

#include <cstdint>

#include "platform/foundation/values/Data.h"

namespace av {

struct DecodedPicture {
  int width = 0;
  int height = 0;
  ns::Data rgba;
  // Seconds on the stream's clock (its first picture need not be at 0).
  double seconds = 0;
};

}  // namespace av
