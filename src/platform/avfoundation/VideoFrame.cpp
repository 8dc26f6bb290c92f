#include "platform/avfoundation/VideoFrame.h"

#include <limits>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/foundation/check/Check.h"

namespace av {

ns::Result<VideoFrame> VideoFrame::referencing(const AVFrame& decoded, double seconds) {
  FramePointer reference(av_frame_alloc());
  if (!reference || av_frame_ref(reference.get(), &decoded) < 0) {
    return libavError(AVERROR(ENOMEM), "no memory for a reference to a picture");
  }
  VideoFrame picture;
  picture.width = decoded.width;
  picture.height = decoded.height;
  picture.seconds = seconds;
  picture.frame = std::shared_ptr<const AVFrame>(reference.release(), FrameDeleter());
  return picture;
}

std::size_t VideoFrame::byteSize() const {
  std::size_t bytes = 0;
  if (!frame) {
    return bytes;
  }
  for (const AVBufferRef* buffer : frame->buf) {
    if (buffer) {
      bytes += buffer->size;
    }
  }
  return bytes;
}

ns::Result<RGBAPicture> VideoFrame::toRGBA() const {
  QM_DCHECK(frame != nullptr, "frame is not null");
  const std::size_t rowBytes = static_cast<std::size_t>(frame->width) * 4;
  if (frame->width <= 0 || frame->height <= 0 ||
      rowBytes > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    return libavError(AVERROR(EINVAL), "the picture's size does not allow a conversion to RGBA");
  }
  const ScaleContextPointer scaler(
      sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), frame->width,
                     frame->height, AV_PIX_FMT_RGBA, SWS_BILINEAR, nullptr, nullptr, nullptr));
  if (!scaler) {
    return libavError(AVERROR(EINVAL), "no conversion of the picture to RGBA");
  }
  RGBAPicture picture;
  picture.width = frame->width;
  picture.height = frame->height;
  picture.rgba.resize(rowBytes * static_cast<std::size_t>(frame->height));
  std::uint8_t* planes[4] = {picture.rgba.data(), nullptr, nullptr, nullptr};
  const int strides[4] = {static_cast<int>(rowBytes), 0, 0, 0};
  const int converted =
      sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, planes, strides);
  if (converted != frame->height) {
    return libavError(converted < 0 ? converted : AVERROR(EINVAL), "the picture did not convert to RGBA");
  }
  return picture;
}

}  // namespace av
