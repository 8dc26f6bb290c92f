#pragma once

// The bound on what a PNG's pixel data may inflate to. The decoder grows its buffer for whatever the
// compressed data yields, and a few kilobytes of it can yield gigabytes, so the data is inflated once into
// a small scratch buffer, counting, before the decoder sees it.
//
// Thread-safe: a pure function.

#include "platform/foundation/values/Data.h"

namespace uikit {

// Returns true when the pixel data (the IDAT chunks) of the PNG `data` inflates to no more than a picture
// of `pixelWidth` x `pixelHeight` can hold at the deepest pixel format, interlaced. Data that stops
// inflating early (damaged, or cut short) fits; the decoder then refuses it or keeps what it yields.
bool pngPixelDataFits(const ns::Data& data, int pixelWidth, int pixelHeight);

}  // namespace uikit
