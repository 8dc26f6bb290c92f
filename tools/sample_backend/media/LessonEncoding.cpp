#include "sample_backend/media/LessonEncoding.h"

#include <memory>
#include <string>
#include <string_view>

#include "platform/avfoundation/LibavLog.h"
#include "platform/foundation/check/Check.h"
#include "sample_backend/media/TestSignal.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
}

namespace sample_backend::media {
namespace {

constexpr char kErrorDomain[] = "com.quillmark.lesson-encoding";
// The video encoder's settings. Slices on a fixed number of threads spread a large picture's encoding over
// the cores, and give the same bytes on any machine, which a thread count from the core count would not. No
// B-frames and no look-ahead, so that each frame's packet comes out at once and the cut before a keyframe is
// exact.
constexpr char kVideoEncoderName[] = "libx264";
constexpr char kVideoPreset[] = "ultrafast";
constexpr char kVideoTune[] = "zerolatency";
// A test picture needs little quality; lower quality keeps the lessons small.
constexpr char kVideoQuality[] = "32";
constexpr int kVideoThreads = 4;
// The audio encoder's settings: a mono tone at a low bit rate, with the quick coder (a steady tone needs no
// careful search, and the default coder takes most of the time).
constexpr char kAudioCoder[] = "fast";
constexpr int kSampleRate = 48000;
constexpr int kAudioChannels = 1;
constexpr std::int64_t kAudioBitRate = 32000;
constexpr int kOutputBufferSize = 64 * static_cast<int>(kTransportPacketSize);

struct CodecContextFree {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FormatContextFree {
  void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};
struct IOContextFree {
  void operator()(AVIOContext* context) const {
    av_freep(&context->buffer);
    avio_context_free(&context);
  }
};
struct FrameFree {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextFree>;

ns::Error libraryError(std::string_view what, int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return ns::Error(kErrorDomain, code,
                   {{std::string(ns::kLocalizedDescriptionKey), std::string(what) + ": " + text}});
}

ns::Error missingPart(std::string_view what) {
  return ns::Error(
      kErrorDomain, AVERROR(ENOSYS),
      {{std::string(ns::kLocalizedDescriptionKey), "FFmpeg's libraries lack " + std::string(what)}});
}

// The muxer's output callback. Its byte pointer is const in newer FFmpeg releases, hence the template.
template <typename Byte>
int appendOutput(void* opaque, Byte* bytes, int size) {
  auto& output = *static_cast<ns::Data*>(opaque);
  output.insert(output.end(), bytes, bytes + size);
  return size;
}

ns::Result<CodecContext> openVideoEncoder(const LessonShape& shape) {
  const AVCodec* codec = avcodec_find_encoder_by_name(kVideoEncoderName);
  if (codec == nullptr) {
    return missingPart("the libx264 encoder");
  }
  CodecContext context(avcodec_alloc_context3(codec));
  if (!context) {
    return libraryError("cannot allocate the H.264 encoder", AVERROR(ENOMEM));
  }
  context->width = shape.video.width;
  context->height = shape.video.height;
  context->pix_fmt = AV_PIX_FMT_YUV420P;
  context->time_base = {1, shape.video.framesPerSecond};
  context->framerate = {shape.video.framesPerSecond, 1};
  context->gop_size = static_cast<int>(shape.framesPerSegment);
  context->max_b_frames = 0;
  context->thread_count = kVideoThreads;
  av_opt_set(context->priv_data, "preset", kVideoPreset, 0);
  av_opt_set(context->priv_data, "tune", kVideoTune, 0);
  av_opt_set(context->priv_data, "crf", kVideoQuality, 0);
  if (const int opened = avcodec_open2(context.get(), codec, nullptr); opened < 0) {
    return libraryError("cannot open the H.264 encoder", opened);
  }
  return context;
}

// Opens the AAC encoder with global headers, from which the transport stream muxer frames its packets as
// ADTS.
ns::Result<CodecContext> openAudioEncoder() {
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
  if (codec == nullptr) {
    return missingPart("an AAC encoder");
  }
  CodecContext context(avcodec_alloc_context3(codec));
  if (!context) {
    return libraryError("cannot allocate the AAC encoder", AVERROR(ENOMEM));
  }
  context->sample_fmt = AV_SAMPLE_FMT_FLTP;
  context->sample_rate = kSampleRate;
  av_channel_layout_default(&context->ch_layout, kAudioChannels);
  context->bit_rate = kAudioBitRate;
  context->time_base = {1, kSampleRate};
  context->thread_count = 1;
  context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  av_opt_set(context->priv_data, "aac_coder", kAudioCoder, 0);
  if (const int opened = avcodec_open2(context.get(), codec, nullptr); opened < 0) {
    return libraryError("cannot open the AAC encoder", opened);
  }
  return context;
}

// One run of the transport stream muxer over the lesson's two encoders, writing into memory.
class LessonMuxer {
 public:
  LessonMuxer(const LessonShape& shape, CodecContext video, CodecContext audio)
      : shape_(shape), signal_(shape.seed), video_(std::move(video)), audio_(std::move(audio)) {}

  // Returns the whole lesson's stream and where each segment after the first begins in it.
  ns::Result<ns::Data> run(std::vector<std::size_t>& cuts) {
    if (ns::Status opened = open(); !opened.ok()) {
      return opened.error();
    }
    const std::int64_t framesPerSecond = shape_.video.framesPerSecond;
    const std::int64_t frameCount = static_cast<std::int64_t>(shape_.segmentCount * shape_.framesPerSegment);
    const std::int64_t sampleCount = frameCount * kSampleRate / framesPerSecond;
    std::int64_t frame = 0;
    std::int64_t sample = 0;
    // The two streams are fed in time order, so that the packets reach the muxer nearly interleaved.
    while (frame < frameCount || sample < sampleCount) {
      ns::Status fed;
      if (frame < frameCount && (frame * kSampleRate <= sample * framesPerSecond || sample >= sampleCount)) {
        if (frame > 0 && frame % static_cast<std::int64_t>(shape_.framesPerSegment) == 0) {
          if (ns::Status cut = cutHere(cuts); !cut.ok()) {
            return cut.error();
          }
        }
        fed = encodeVideoFrame(frame++);
      } else {
        const int samples =
            static_cast<int>(std::min<std::int64_t>(audio_->frame_size, sampleCount - sample));
        fed = encodeAudioFrame(sample, samples);
        sample += samples;
      }
      if (!fed.ok()) {
        return fed.error();
      }
    }
    return finish();
  }

 private:
  ns::Status open() {
    AVFormatContext* format = nullptr;
    if (const int made = avformat_alloc_output_context2(&format, nullptr, "mpegts", nullptr); made < 0) {
      return libraryError("cannot make the transport stream muxer", made);
    }
    format_.reset(format);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kOutputBufferSize));
    if (buffer == nullptr) {
      return libraryError("cannot allocate the output buffer", AVERROR(ENOMEM));
    }
    io_.reset(avio_alloc_context(buffer, kOutputBufferSize, 1, &output_, nullptr, &appendOutput, nullptr));
    if (!io_) {
      // The buffer passes to the context only once the context exists.
      av_free(buffer);
      return libraryError("cannot allocate the output context", AVERROR(ENOMEM));
    }
    format_->pb = io_.get();
    format_->flags |= AVFMT_FLAG_CUSTOM_IO | AVFMT_FLAG_BITEXACT;
    av_dict_set(&format_->metadata, "service_provider", "Quillmark", 0);
    av_dict_set(&format_->metadata, "service_name", "Sample lesson", 0);
    videoStream_ = addStream(*video_);
    audioStream_ = addStream(*audio_);
    if (videoStream_ == nullptr || audioStream_ == nullptr) {
      return libraryError("cannot add a stream", AVERROR(ENOMEM));
    }
    if (const int written = avformat_write_header(format_.get(), nullptr); written < 0) {
      return libraryError("cannot start the transport stream", written);
    }
    picture_.reset(av_frame_alloc());
    sound_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!picture_ || !sound_ || !packet_) {
      return libraryError("cannot allocate a frame or packet", AVERROR(ENOMEM));
    }
    picture_->format = AV_PIX_FMT_YUV420P;
    picture_->width = shape_.video.width;
    picture_->height = shape_.video.height;
    if (const int allocated = av_frame_get_buffer(picture_.get(), 0); allocated < 0) {
      return libraryError("cannot make a picture", allocated);
    }
    return {};
  }

  // The stream belongs to the muxer.
  AVStream* addStream(const AVCodecContext& encoder) {
    AVStream* stream = avformat_new_stream(format_.get(), nullptr);
    if (stream == nullptr || avcodec_parameters_from_context(stream->codecpar, &encoder) < 0) {
      return nullptr;
    }
    stream->time_base = encoder.time_base;
    return stream;
  }

  // Writes out everything the muxer holds and notes where the next segment begins; the next packet, the
  // segment's keyframe, goes out after the program tables again.
  ns::Status cutHere(std::vector<std::size_t>& cuts) {
    if (const int flushed = av_write_frame(format_.get(), nullptr); flushed < 0) {
      return libraryError("cannot flush the transport stream", flushed);
    }
    avio_flush(io_.get());
    cuts.push_back(output_.size());
    av_opt_set(format_->priv_data, "mpegts_flags", "+resend_headers", 0);
    return {};
  }

  ns::Status encodeVideoFrame(std::int64_t index) {
    // The picture's buffer is drawn over again unless the encoder still holds it.
    if (const int writable = av_frame_make_writable(picture_.get()); writable < 0) {
      return libraryError("cannot make a picture", writable);
    }
    const int width = shape_.video.width;
    const int height = shape_.video.height;
    const auto plane = [this](int index, int rows) {
      return std::span<std::uint8_t>(picture_->data[index],
                                     static_cast<std::size_t>(picture_->linesize[index] * rows));
    };
    signal_.drawPicture(index, width, height, plane(0, height), picture_->linesize[0], plane(1, height / 2),
                        plane(2, height / 2), picture_->linesize[1]);
    picture_->pts = index;
    picture_->pict_type = index % static_cast<std::int64_t>(shape_.framesPerSegment) == 0
                              ? AV_PICTURE_TYPE_I
                              : AV_PICTURE_TYPE_NONE;
    return encode(*video_, *videoStream_, picture_.get());
  }

  ns::Status encodeAudioFrame(std::int64_t firstSample, int samples) {
    av_frame_unref(sound_.get());
    sound_->format = AV_SAMPLE_FMT_FLTP;
    sound_->sample_rate = kSampleRate;
    sound_->nb_samples = samples;
    if (const int copied = av_channel_layout_copy(&sound_->ch_layout, &audio_->ch_layout); copied < 0) {
      return libraryError("cannot set the channel layout", copied);
    }
    if (const int allocated = av_frame_get_buffer(sound_.get(), 0); allocated < 0) {
      return libraryError("cannot make a sound frame", allocated);
    }
    signal_.fillTone(
        firstSample, kSampleRate,
        std::span<float>(reinterpret_cast<float*>(sound_->data[0]), static_cast<std::size_t>(samples)));
    // The encoder's packets stand earlier than its frames by its priming samples; starting the frames that
    // much later keeps every timestamp from zero up, so the muxer need not shift the streams.
    sound_->pts = firstSample + audio_->initial_padding;
    return encode(*audio_, *audioStream_, sound_.get());
  }

  // Sends `frame` to `encoder` (nullptr: the end of the stream) and writes every packet that comes out.
  ns::Status encode(AVCodecContext& encoder, const AVStream& stream, const AVFrame* frame) {
    if (const int sent = avcodec_send_frame(&encoder, frame); sent < 0) {
      return libraryError("cannot encode", sent);
    }
    while (true) {
      const int received = avcodec_receive_packet(&encoder, packet_.get());
      if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
        return {};
      }
      if (received < 0) {
        return libraryError("cannot encode", received);
      }
      av_packet_rescale_ts(packet_.get(), encoder.time_base, stream.time_base);
      packet_->stream_index = stream.index;
      const int written = av_write_frame(format_.get(), packet_.get());
      av_packet_unref(packet_.get());
      if (written < 0) {
        return libraryError("cannot write a packet", written);
      }
    }
  }

  ns::Result<ns::Data> finish() {
    if (ns::Status drained = encode(*video_, *videoStream_, nullptr); !drained.ok()) {
      return drained.error();
    }
    if (ns::Status drained = encode(*audio_, *audioStream_, nullptr); !drained.ok()) {
      return drained.error();
    }
    if (const int ended = av_write_trailer(format_.get()); ended < 0) {
      return libraryError("cannot end the transport stream", ended);
    }
    avio_flush(io_.get());
    return std::move(output_);
  }

  // Constant after construction
  const LessonShape shape_;
  const TestSignal signal_;
  const CodecContext video_;
  const CodecContext audio_;

  ns::Data output_;
  std::unique_ptr<AVIOContext, IOContextFree> io_;
  std::unique_ptr<AVFormatContext, FormatContextFree> format_;
  // Both belong to format_.
  AVStream* videoStream_ = nullptr;
  AVStream* audioStream_ = nullptr;
  std::unique_ptr<AVFrame, FrameFree> picture_;
  std::unique_ptr<AVFrame, FrameFree> sound_;
  std::unique_ptr<AVPacket, PacketFree> packet_;
};

}  // namespace

std::string lessonEncodingDescription(const LessonShape& shape) {
  const auto number = [](auto value) { return std::to_string(value); };
  return std::string("video ") + kVideoEncoderName + " " + sizeText(shape.video) + " " +
         number(shape.video.framesPerSecond) + "fps yuv420p preset " + kVideoPreset + " tune " + kVideoTune +
         " crf " + kVideoQuality + " threads " + number(kVideoThreads) + " keyframe every " +
         number(shape.framesPerSegment) + " frames; audio aac " + number(kSampleRate) + "Hz " +
         number(kAudioChannels) + " channel " + number(kAudioBitRate) + "b/s coder " + kAudioCoder +
         "; mpegts " + number(shape.segmentCount) + " segments of " + number(shape.framesPerSegment) +
         " frames; seed " + number(shape.seed);
}

ns::Result<std::vector<ns::Data>> encodeLesson(const LessonShape& shape) {
  QM_DCHECK(shape.segmentCount >= 1 && shape.framesPerSegment >= 1 && isEncodableVideoFormat(shape.video),
            "shape.segmentCount >= 1, shape.framesPerSegment >= 1 and isEncodableVideoFormat(shape.video)");
  // The libraries report every encoder's settings and statistics by default; the process's one log setting
  // keeps only what a person running the back end needs.
  av::LibavLog::install();
  ns::Result<CodecContext> video = openVideoEncoder(shape);
  if (!video.ok()) {
    return video.error();
  }
  ns::Result<CodecContext> audio = openAudioEncoder();
  if (!audio.ok()) {
    return audio.error();
  }
  std::vector<std::size_t> cuts;
  ns::Result<ns::Data> stream =
      LessonMuxer(shape, std::move(video).value(), std::move(audio).value()).run(cuts);
  if (!stream.ok()) {
    return stream.error();
  }
  cuts.push_back(stream->size());
  std::vector<ns::Data> segments;
  std::size_t begin = 0;
  for (const std::size_t end : cuts) {
    segments.emplace_back(stream->begin() + static_cast<std::ptrdiff_t>(begin),
                          stream->begin() + static_cast<std::ptrdiff_t>(end));
    begin = end;
  }
  return segments;
}

}  // namespace sample_backend::media
