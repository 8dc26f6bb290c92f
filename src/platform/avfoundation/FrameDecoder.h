#pragma once

// av::FrameDecoder: what every track's decoder shares: a libavcodec decoder opened from the track's codec
// parameters, and the send/receive loop that turns packets into frames. A decoder may hold packets back
// before it gives their frames (reordered pictures, audio priming), and flush() gives what it still holds at
// the end of the stream. VideoDecoder and AudioDecoder convert the frames it gives.
//
// Thread-safety: used on the thread that opened it.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/avfoundation/LibavPointers.h"
#include "platform/avfoundation/MediaTrack.h"
#include "platform/foundation/check/ThreadChecker.h"
#include "platform/foundation/values/Result.h"

namespace av {

class FrameDecoder {
 public:
  // Takes one decoded frame; an error stops the loop and is returned from decode() or flush(). The frame is
  // only lent for the call.
  using FrameSink = std::function<ns::Status(const AVFrame&)>;

  // How the codec spreads its work. Pictures of at least 640x360 decode with libavcodec's own frame and
  // slice threads, as many as it chooses for the machine (smaller ones, and sound, are light enough for the
  // calling thread alone).
  enum class Threads { kCallingThread, kCodecChooses };

  // Returns a decoder for `track`, or a kMediaErrorDomain error when the track is not of `type` or no
  // decoder for its codec can be opened. `kind` ("video", "audio") names the track in error texts.
  static ns::Result<FrameDecoder> open(const MediaTrack& track, AVMediaType type, std::string_view kind,
                                       Threads threads);

  // Decodes `packet` and hands each frame it completed to `sink`; a null packet ends the stream and hands
  // over the frames still held back. A packet the decoder rejects fails with a kMediaErrorDomain error; the
  // decoder stays usable for later packets.
  ns::Status decode(const AVPacket* packet, const FrameSink& sink);

  // As decode(), returning what `convert` (a callable from const AVFrame& to ns::Result<Value>) makes of
  // each frame, or the first error.
  template <typename Value, typename Convert>
  ns::Result<std::vector<Value>> decodeEach(const AVPacket* packet, Convert&& convert) {
    std::vector<Value> values;
    const ns::Status decoded = decode(packet, [&](const AVFrame& frame) -> ns::Status {
      ns::Result<Value> value = convert(frame);
      if (!value.ok()) {
        return value.error();
      }
      values.push_back(std::move(*value));
      return {};
    });
    if (!decoded.ok()) {
      return decoded.error();
    }
    return values;
  }

  // The media time of `frame` in seconds on the stream's clock; 0 when it carries no timestamp.
  double secondsOf(const AVFrame& frame) const;

 private:
  FrameDecoder(CodecContextPointer codec, AVRational timeBase, std::string kind);
  ns::Status receiveFrames(const FrameSink& sink);

  ns::ThreadChecker thread_;
  CodecContextPointer codec_;
  AVRational timeBase_;
  std::string kind_;
  FramePointer frame_;
};

}  // namespace av
