#pragma once

// av::VideoDecoder: decodes the packets of one video track with libavcodec (through a FrameDecoder, with the
// codec's own frame and slice threads) into pictures in the decoder's own format, each a reference to the
// decoded frame (VideoFrame.h): nothing is converted or copied here. A decoder may hold packets back before
// it gives their pictures (reordered frames, frames still on the codec's threads), and flush() gives what it
// still holds at the end of the stream.
//
// Thread-safety: used on the thread that opened it.

#include <memory>
#include <vector>

#include "platform/avfoundation/FrameDecoder.h"
#include "platform/avfoundation/LibavPointers.h"
#include "platform/avfoundation/MediaTrack.h"
#include "platform/avfoundation/VideoFrame.h"
#include "platform/foundation/values/Result.h"

namespace av {

class VideoDecoder {
 public:
  // Returns a decoder for `track`, owned by the caller, or a kMediaErrorDomain error when the track is not
  // video or no decoder for its codec can be opened.
  static ns::Result<std::unique_ptr<VideoDecoder>> open(const MediaTrack& track);

  // Decodes `packet` (of this decoder's track) and returns the pictures it completed, maybe none, with
  // their times on the stream's clock. A packet the decoder rejects fails with a kMediaErrorDomain error;
  // the decoder stays usable for later packets.
  ns::Result<std::vector<VideoFrame>> decode(const AVPacket& packet);
  // Ends the stream and returns the pictures still held back.
  ns::Result<std::vector<VideoFrame>> flush();

  // Use open(); public for std::make_unique.
  explicit VideoDecoder(FrameDecoder frames);

 private:
  ns::Result<VideoFrame> reference(const AVFrame& frame) const;

  FrameDecoder frames_;
};

}  // namespace av
