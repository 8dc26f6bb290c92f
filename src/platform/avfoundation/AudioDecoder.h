#pragma once

// av::AudioDecoder: decodes the packets of one audio track with libavcodec (through a FrameDecoder) and
// converts each frame, whatever sample layout its codec gives, to interleaved float PCM with libswresample,
// keeping the track's sample rate and channels. flush() gives what the decoder still holds at the end of the
// stream.
//
// Thread-safety: used on the thread that opened it.

#include <memory>
#include <vector>

#include "platform/avfoundation/DecodedAudio.h"
#include "platform/avfoundation/FrameDecoder.h"
#include "platform/avfoundation/LibavPointers.h"
#include "platform/avfoundation/MediaTrack.h"
#include "platform/foundation/values/Result.h"

namespace av {

class AudioDecoder {
 public:
  // Returns a decoder for `track`, owned by the caller, or a kMediaErrorDomain error when the track is not
  // audio or no decoder for its codec can be opened.
  static ns::Result<std::unique_ptr<AudioDecoder>> open(const MediaTrack& track);

  // Decodes `packet` (of this decoder's track) and returns the sound it completed, maybe none. A packet the
  // decoder rejects fails with a kMediaErrorDomain error; the decoder stays usable for later packets.
  ns::Result<std::vector<DecodedAudio>> decode(const AVPacket& packet);
  // Ends the stream and returns the sound still held back.
  ns::Result<std::vector<DecodedAudio>> flush();

  // Use open(); public for std::make_unique.
  explicit AudioDecoder(FrameDecoder frames);

 private:
  ns::Result<DecodedAudio> toInterleavedFloat(const AVFrame& frame);

  FrameDecoder frames_;
  ResampleContextPointer resampler_;
  FramePointer converted_;
};

}  // namespace av
