#include "platform/avfoundation/VideoDecoder.h"

namespace av {

ns::Result<std::unique_ptr<VideoDecoder>> VideoDecoder::open(const MediaTrack& track) {
  ns::Result<FrameDecoder> frames =
      FrameDecoder::open(track, AVMEDIA_TYPE_VIDEO, "video", FrameDecoder::Threads::kCodecChooses);
  if (!frames.ok()) {
    return frames.error();
  }
  return std::make_unique<VideoDecoder>(std::move(*frames));
}

VideoDecoder::VideoDecoder(FrameDecoder frames) : frames_(std::move(frames)) {}

ns::Result<std::vector<VideoFrame>> VideoDecoder::decode(const AVPacket& packet) {
  return frames_.decodeEach<VideoFrame>(&packet, [this](const AVFrame& frame) { return reference(frame); });
}

ns::Result<std::vector<VideoFrame>> VideoDecoder::flush() {
  return frames_.decodeEach<VideoFrame>(nullptr, [this](const AVFrame& frame) { return reference(frame); });
}

ns::Result<VideoFrame> VideoDecoder::reference(const AVFrame& frame) const {
  return VideoFrame::referencing(frame, frames_.secondsOf(frame));
}

}  // namespace av
