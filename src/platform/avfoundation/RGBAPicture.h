#pragma once

// av::RGBAPicture: a picture as RGBA pixels, 4 bytes a pixel, rows top to bottom without padding, ready to be
// shown or written to an image file. Thread-safe as a value.

#include "platform/foundation/values/Data.h"

namespace av {

struct RGBAPicture {
  int width = 0;
  int height = 0;
  ns::Data rgba;
};

}  // namespace av
