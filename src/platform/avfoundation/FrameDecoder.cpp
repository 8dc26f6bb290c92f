#include "platform/avfoundation/FrameDecoder.h"

#include "platform/avfoundation/LibavLog.h"
#include "platform/avfoundation/MediaErrors.h"
#include "platform/foundation/check/Check.h"

namespace av {

namespace {

// Pictures smaller than this decode faster on the calling thread than their hand-off between the codec's
// threads costs, and come out without the frames of delay that frame threading adds.
constexpr int kThreadedPixels = 640 * 360;

}  // namespace

ns::Result<FrameDecoder> FrameDecoder::open(const MediaTrack& track, AVMediaType type, std::string_view kind,
                                            Threads threads) {
  LibavLog::install();
  const std::string name(kind);
  if (track.type != type || !track.parameters) {
    return libavError(AVERROR(EINVAL), "not a " + name + " track");
  }
  const AVCodec* codec = avcodec_find_decoder(track.parameters->codec_id);
  if (!codec) {
    return libavError(AVERROR_DECODER_NOT_FOUND, "no decoder for the " + name + " codec");
  }
  CodecContextPointer context(avcodec_alloc_context3(codec));
  FramePointer frame(av_frame_alloc());
  if (!context || !frame) {
    return libavError(AVERROR(ENOMEM), "no memory for the " + name + " decoder");
  }
  if (const int copied = avcodec_parameters_to_context(context.get(), track.parameters.get()); copied < 0) {
    return libavError(copied, "unusable " + name + " parameters");
  }
  context->pkt_timebase = track.timeBase;
  if (threads == Threads::kCodecChooses &&
      track.parameters->width * track.parameters->height >= kThreadedPixels) {
    // 0 lets libavcodec match the machine's cores.
    context->thread_count = 0;
    context->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
  } else {
    context->thread_count = 1;
  }
  if (const int opened = avcodec_open2(context.get(), codec, nullptr); opened < 0) {
    return libavError(opened, "the " + name + " decoder did not open");
  }
  FrameDecoder decoder(std::move(context), track.timeBase, name);
  decoder.frame_ = std::move(frame);
  return decoder;
}

FrameDecoder::FrameDecoder(CodecContextPointer codec, AVRational timeBase, std::string kind)
    : codec_(std::move(codec)), timeBase_(timeBase), kind_(std::move(kind)) {}

ns::Status FrameDecoder::decode(const AVPacket* packet, const FrameSink& sink) {
  QM_DCHECK_CALLED_ON(thread_);
  int sent = avcodec_send_packet(codec_.get(), packet);
  if (packet && sent == AVERROR(EAGAIN)) {
    // The decoder is full of frames not taken yet: take them, and the packet then fits.
    if (ns::Status taken = receiveFrames(sink); !taken.ok()) {
      return taken;
    }
    sent = avcodec_send_packet(codec_.get(), packet);
  }
  // Ending a stream that has already ended leaves nothing more to take.
  if (sent < 0 && !(sent == AVERROR_EOF && !packet)) {
    return libavError(sent, packet ? "the " + kind_ + " decoder rejected a packet"
                                   : "the " + kind_ + " decoder would not flush");
  }
  return receiveFrames(sink);
}

ns::Status FrameDecoder::receiveFrames(const FrameSink& sink) {
  while (true) {
    const int received = avcodec_receive_frame(codec_.get(), frame_.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
      return {};
    }
    if (received < 0) {
      return libavError(received, "the " + kind_ + " decoder failed");
    }
    ns::Status taken = sink(*frame_);
    av_frame_unref(frame_.get());
    if (!taken.ok()) {
      return taken;
    }
  }
}

double FrameDecoder::secondsOf(const AVFrame& frame) const {
  const std::int64_t timestamp = frame.best_effort_timestamp;
  return timestamp == AV_NOPTS_VALUE ? 0 : static_cast<double>(timestamp) * av_q2d(timeBase_);
}

}  // namespace av
