#include "platform/avfoundation/VideoDecoder.h"

#include "platform/avfoundation/MediaErrors.h"

namespace av {

ns::Result<std::unique_ptr<VideoDecoder>> VideoDecoder::open(const MediaTrack& track) {
  if (track.type != AVMEDIA_TYPE_VIDEO || !track.parameters) {
    return libavError(AVERROR(EINVAL), "not a video track");
  }
  const AVCodec* codec = avcodec_find_decoder(track.parameters->codec_id);
  if (!codec) {
    return libavError(AVERROR_DECODER_NOT_FOUND, "no decoder for the video codec");
  }
  CodecContextPointer context(avcodec_alloc_context3(codec));
  if (!context) {
    return libavError(AVERROR(ENOMEM), "no memory for the decoder");
  }
  if (const int copied = avcodec_parameters_to_context(context.get(), track.parameters.get()); copied < 0) {
    return libavError(copied, "unusable video parameters");
  }
  context->pkt_timebase = track.timeBase;
  if (const int opened = avcodec_open2(context.get(), codec, nullptr); opened < 0) {
    return libavError(opened, "the video decoder did not open");
  }
  return std::make_unique<VideoDecoder>(std::move(context), track.timeBase);
}

VideoDecoder::VideoDecoder(CodecContextPointer codec, AVRational timeBase)
    : codec_(std::move(codec)), timeBase_(timeBase), frame_(av_frame_alloc()) {}

ns::Result<std::vector<DecodedPicture>> VideoDecoder::decode(const AVPacket& packet) {
  if (const int sent = avcodec_send_packet(codec_.get(), &packet); sent < 0 && sent != AVERROR(EAGAIN)) {
    return libavError(sent, "the video decoder rejected a packet");
  }
  return receivePictures();
}

ns::Result<std::vector<DecodedPicture>> VideoDecoder::flush() {
  if (const int sent = avcodec_send_packet(codec_.get(), nullptr); sent < 0 && sent != AVERROR_EOF) {
    return libavError(sent, "the video decoder would not flush");
  }
  return receivePictures();
}

ns::Result<std::vector<DecodedPicture>> VideoDecoder::receivePictures() {
  std::vector<DecodedPicture> pictures;
  if (!frame_) {
    return libavError(AVERROR(ENOMEM), "no memory for a frame");
  }
  while (true) {
    const int received = avcodec_receive_frame(codec_.get(), frame_.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
      return pictures;
    }
    if (received < 0) {
      return libavError(received, "the video decoder failed");
    }
    ns::Result<DecodedPicture> picture = toRGBA(*frame_);
    av_frame_unref(frame_.get());
    if (!picture.ok()) {
      return picture.error();
    }
    pictures.push_back(std::move(*picture));
  }
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
  picture.rgba.resize(static_cast<std::size_t>(frame.width) * frame.height * 4);
  std::uint8_t* planes[4] = {picture.rgba.data(), nullptr, nullptr, nullptr};
  int strides[4] = {frame.width * 4, 0, 0, 0};
  sws_scale(scaler_.get(), frame.data, frame.linesize, 0, frame.height, planes, strides);
  const std::int64_t timestamp = frame.best_effort_timestamp;
  picture.seconds = timestamp == AV_NOPTS_VALUE ? 0 : static_cast<double>(timestamp) * av_q2d(timeBase_);
  return picture;
}

}  // namespace av
