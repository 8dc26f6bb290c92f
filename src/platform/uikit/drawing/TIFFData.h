#pragma once

// Reading TIFF pictures in memory with libtiff. Only the first picture of a file is read, as the platform
// does. The file is read from the caller's bytes without a copy; libtiff is allowed no single allocation
// beyond what the largest picture the decoding bound admits needs, and its messages are dropped: a file
// that does not decode simply yields nothing.
//
// Thread-safe: pure functions.

#include <optional>

#include "platform/foundation/values/Data.h"
#include "platform/uikit/drawing/DecodedPixels.h"
#include "platform/uikit/drawing/ImageDataInfo.h"

namespace uikit {

// True when `data` starts with a TIFF signature (either byte order).
bool hasTIFFSignature(const ns::Data& data);

// The size of the first picture of the TIFF `data`, or std::nullopt when libtiff cannot read it as one it
// can turn into RGBA pixels.
std::optional<ImageDataInfo> tiffDataInfo(const ns::Data& data);

// Decodes the first picture of the TIFF `data`, or returns std::nullopt when it does not decode.
// REQUIRES: `info` is what tiffDataInfo(data) returned, and it fits the decoding bound.
std::optional<DecodedPixels> decodeTIFF(const ns::Data& data, const ImageDataInfo& info);

}  // namespace uikit
