#pragma once

// Reading ICO files: a directory of pictures, each a PNG file or a BMP picture without its file header whose
// height counts twice (the colours, then a one-bit mask of the see-through pixels). The picture read is the
// largest the directory lists (the deepest colours among equals, then the first), as a person would want
// the icon shown at its best. Nothing outside the file's bytes is read.
//
// Thread-safe: pure functions.

#include <optional>

#include "platform/foundation/values/Data.h"
#include "platform/uikit/drawing/DecodedPixels.h"
#include "platform/uikit/drawing/ImageDataInfo.h"

namespace uikit {

// True when `data` starts with an icon file's header: two zero bytes, the type 1 and at least one entry.
bool hasICOSignature(const ns::Data& data);

// The chosen picture of an icon file, as it is stored.
struct IconPicture {
  ns::Data bytes;
  bool isPNG = false;
};

// Returns the chosen picture of the icon file `data`, or std::nullopt when its directory or the picture's
// place in the file is damaged.
std::optional<IconPicture> chosenIconPicture(const ns::Data& data);

// The size of an icon's BMP picture `bitmap` (IconPicture::bytes), or std::nullopt when its header is not
// one the decoder reads (uncompressed, 1, 4, 8, 24 or 32 bits a pixel) or its colours lie beyond its bytes.
std::optional<ImageDataInfo> iconBitmapInfo(const ns::Data& bitmap);

// Decodes an icon's BMP picture, its mask making pixels see-through, or returns std::nullopt.
// REQUIRES: `info` is what iconBitmapInfo(bitmap) returned, and it fits the decoding bound.
std::optional<DecodedPixels> decodeIconBitmap(const ns::Data& bitmap, const ImageDataInfo& info);

}  // namespace uikit
