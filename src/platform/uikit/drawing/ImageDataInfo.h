#pragma once

// uikit::ImageDataInfo: what the headers of encoded picture bytes say before any pixel is decoded: the
// picture's size in pixels and, for a GIF, how many frames follow. Decoders read it first so that bytes
// from outside never make them allocate more than they allow.
//
// Thread-safe: a pure function.

#include <algorithm>
#include <cstddef>
#include <optional>

#include "platform/foundation/values/Data.h"

namespace uikit {

struct ImageDataInfo {
  // How the bytes are decoded: by the common decoder (PNG, JPEG, GIF, BMP), by libtiff, or as an icon file.
  enum class Format { kCommon, kTIFF, kICO };

  Format format = Format::kCommon;
  int pixelWidth = 0;
  int pixelHeight = 0;
  // The frames a decoder will find: the image descriptors of a GIF (at least those it can decode), 1 for
  // other formats.
  std::size_t frameCount = 1;

  // True when the pixels of every frame together are at most `maximumPixels`.
  bool fitsWithin(std::size_t maximumPixels) const {
    const std::size_t framePixels =
        static_cast<std::size_t>(pixelWidth) * static_cast<std::size_t>(pixelHeight);
    return framePixels <= maximumPixels &&
           frameCount <= maximumPixels / std::max<std::size_t>(framePixels, 1);
  }
};

// Returns the headers' account of `data` (PNG, JPEG, GIF, BMP, TIFF or ICO; for an icon file, that of the
// picture it shows, ICOData.h), or std::nullopt when the bytes are not a picture the decoders know, or are a
// PNG whose pixel data inflates to more than its size can hold (PNGDataBound.h).
std::optional<ImageDataInfo> imageDataInfo(const ns::Data& data);

}  // namespace uikit
