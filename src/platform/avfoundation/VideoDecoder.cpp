#include "platform/avfoundation/VideoDecoder.h"

#include <cstddef>
#include <limits>

#include "platform/avfoundation/MediaErrors.h"

namespace av {

ns::Result<std::unique_ptr<VideoDecoder>> VideoDecoder::open(const MediaTrack& track) {
  ns::Result<FrameDecoder> frames = FrameDecoder::open(track, AVMEDIA_TYPE_VIDEO, "video");
  if (!frames.ok()) {
    return frames.error();
  }
  return std::make_unique<VideoDecoder>(std::move(*frames));
}

VideoDecoder::VideoDecoder(FrameDecoder frames) : frames_(std::move(frames)) {}

ns::Result<std::vector<DecodedPicture>> VideoDecoder::decode(const AVPacket& packet) {
  return frames_.decodeEach<DecodedPicture>(&packet, [this](const AVFrame& frame) { return toRGBA(frame); });
}

ns::Result<std::vector<DecodedPicture>> VideoDecoder::flush() {
  return frames_.decodeEach<DecodedPicture>(nullptr, [this](const AVFrame& frame) { return toRGBA(frame); });
}

ns::Result<DecodedPicture> VideoDecoder::toRGBA(const AVFrame& frame) {
  scaler_.reset(sws_getCachedContext(scaler_.release(), frame.width, frame.height,
                                     static_cast<AVPixelFormat>(frame.format), frame.width, frame.height,
                                     AV_PIX_FMT_RGBA, SWS_BILINEAR, nullptr, nullptr, nullptr));
  if (!scaler_) {
    return libavError(AVERROR(EINVAL), "no conversion of the picture to RGBA");
  }
  DecodedPicture picture;
  picture.width = frame.width;
  picture.height = frame.height;
  const std::size_t rowBytes = static_cast<std::size_t>(frame.width) * 4;
  if (rowBytes > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    return libavError(AVERROR(EINVAL), "the picture is too wide to convert to RGBA");
  }
  picture.rgba.resize(rowBytes * static_cast<std::size_t>(frame.height));
  std::uint8_t* planes[4] = {picture.rgba.data(), nullptr, nullptr, nullptr};
  const int strides[4] = {static_cast<int>(rowBytes), 0, 0, 0};
  const int converted =
      sws_scale(scaler_.get(), frame.data, frame.linesize, 0, frame.height, planes, strides);
  if (converted != frame.height) {
    return libavError(converted < 0 ? converted : AVERROR(EINVAL), "the picture did not convert to RGBA");
  }
  picture.seconds = frames_.secondsOf(frame);
  return picture;
}

}  // namespace av
