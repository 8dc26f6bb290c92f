#pragma once

// av::VideoDecoder: decodes the packets of one video track with libavcodec (through a FrameDecoder) and
// converts each frame to RGBA with libswscale. A decoder may hold packets back before it gives their pictures
// (reordered frames), and flush() gives what it still holds at the end of the stream.
//
// Thread-safety: one thread at a time.

#include <memory>
#include <vector>

#include "platform/avfoundation/DecodedPicture.h"
#include "platform/avfoundation/FrameDecoder.h"
#include "platform/avfoundation/LibavPointers.h"
#include "platform/avfoundation/MediaTrack.h"
#include "platform/foundation/values/Result.h"

namespace av {

class VideoDecoder {
 public:
  // Returns a decoder for `track`, owned by the caller, or a kMediaErrorDomain error when the track is not
  // video or no decoder for its codec can be opened.
  static ns::Result<std::unique_ptr<VideoDecoder>> open(const MediaTrack& track);

  // Decodes `packet` (of this decoder's track) and returns the pictures it completed, maybe none. A packet
  // the decoder rejects fails with a kMediaErrorDomain error; the decoder stays usable for later packets.
  ns::Result<std::vector<DecodedPicture>> decode(const AVPacket& packet);
  // Ends the stream and returns the pictures still held back.
  ns::Result<std::vector<DecodedPicture>> flush();

  // Use open(); public for std::make_unique.
  explicit VideoDecoder(FrameDecoder frames);

 private:
  ns::Result<DecodedPicture> toRGBA(const AVFrame& frame);

  FrameDecoder frames_;
  ScaleContextPointer scaler_;
};

}  // namespace av
