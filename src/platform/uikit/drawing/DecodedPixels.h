#pragma once

// uikit::DecodedPixels: a picture as a decoder hands it over: four bytes (red, green, blue, alpha, not
// premultiplied) per pixel, row by row from the top. A plain value.

#include <cstdint>
#include <vector>

namespace uikit {

struct DecodedPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

}  // namespace uikit
