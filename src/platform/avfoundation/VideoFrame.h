#pragma once

// av::VideoFrame: one decoded picture as the decoder gave it, in the decoder's own pixel format: a counted
// reference to libavcodec's frame (av_frame_ref), so no pixel is copied, with the media time at which it is
// shown. Copies share the frame. toRGBA() converts it for whoever needs pixels to show or save; nothing
// else converts, so a picture that is never looked at is never converted.
//
// Thread-safety: a value; the frame is never written once made, so copies may be read on any thread.

#include <cstddef>
#include <memory>

#include "platform/avfoundation/LibavPointers.h"
#include "platform/avfoundation/RGBAPicture.h"
#include "platform/foundation/values/Result.h"

namespace av {

struct VideoFrame {
  int width = 0;
  int height = 0;
  // Seconds on the clock of whoever made it: the stream's clock from a decoder, item time in a player.
  double seconds = 0;
  std::shared_ptr<const AVFrame> frame;

  // Returns a new reference to `decoded`'s picture at `seconds`, or a kMediaErrorDomain error when no
  // memory is left for the reference.
  static ns::Result<VideoFrame> referencing(const AVFrame& decoded, double seconds);

  // The bytes of the buffers the frame holds, which stay in memory while any copy exists.
  std::size_t byteSize() const;
  // Returns the picture as RGBA pixels, or a kMediaErrorDomain error when it cannot be converted.
  // REQUIRES: frame is not null.
  ns::Result<RGBAPicture> toRGBA() const;
};

}  // namespace av
