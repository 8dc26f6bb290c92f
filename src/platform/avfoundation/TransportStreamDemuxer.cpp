#include "platform/avfoundation/TransportStreamDemuxer.h"

#include "platform/avfoundation/LibavLog.h"
#include "platform/avfoundation/MediaErrors.h"
#include "platform/foundation/check/Check.h"

namespace av {

namespace {

constexpr int kReadBufferSize = 64 * 1024;
// How much of the stream the demuxer reads to learn its tracks, in AV_TIME_BASE units (half a second). The
// probe waits for bytes, and a lesson's later segments may come late or not at all: left to its default of
// several seconds it could wait on the last segment of a short lesson before any track were known. Every
// track's parameters stand in its first frames, so the first segment or two suffice.
constexpr std::int64_t kProbeDuration = AV_TIME_BASE / 2;

ns::Error notRecognized(int averror, std::string_view what) {
  return mediaFailure(kAVErrorFileFormatNotRecognized, libavError(averror, what));
}

}  // namespace

TransportStreamDemuxer::TransportStreamDemuxer(std::shared_ptr<SegmentStream> input)
    : input_(std::move(input)) {
  LibavLog::install();
}

int TransportStreamDemuxer::readInput(void* opaque, std::uint8_t* buffer, int capacity) {
  auto* self = static_cast<TransportStreamDemuxer*>(opaque);
  const std::ptrdiff_t read = self->input_->read(buffer, static_cast<std::size_t>(capacity));
  if (read == SegmentStream::kEndOfStream) {
    return AVERROR_EOF;
  }
  if (read == SegmentStream::kClosed) {
    return AVERROR_EXIT;
  }
  return static_cast<int>(read);
}

int TransportStreamDemuxer::interrupted(void* opaque) {
  return static_cast<TransportStreamDemuxer*>(opaque)->input_->isClosed() ? 1 : 0;
}

ns::Result<std::vector<MediaTrack>> TransportStreamDemuxer::open() {
  QM_DCHECK_CALLED_ON(thread_);
  auto* buffer = static_cast<std::uint8_t*>(av_malloc(kReadBufferSize));
  if (!buffer) {
    return notRecognized(AVERROR(ENOMEM), "no memory for the read buffer");
  }
  io_.reset(avio_alloc_context(buffer, kReadBufferSize, 0, this, &readInput, nullptr, nullptr));
  if (!io_) {
    av_free(buffer);
    return notRecognized(AVERROR(ENOMEM), "no memory for the input");
  }
  AVFormatContext* format = avformat_alloc_context();
  if (!format) {
    return notRecognized(AVERROR(ENOMEM), "no memory for the demuxer");
  }
  format->pb = io_.get();
  format->flags |= AVFMT_FLAG_CUSTOM_IO;
  format->interrupt_callback = {&interrupted, this};
  // Lessons are MPEG-TS and nothing else: probing could take damaged bytes for some other format.
  const int opened = avformat_open_input(&format, nullptr, av_find_input_format("mpegts"), nullptr);
  if (opened < 0) {
    // avformat_open_input() has freed the context.
    return notRecognized(opened, "not an MPEG transport stream");
  }
  format_.reset(format);
  format_->max_analyze_duration = kProbeDuration;
  const int found = avformat_find_stream_info(format_.get(), nullptr);
  if (found < 0) {
    return notRecognized(found, "no stream information");
  }
  if (format_->nb_streams == 0) {
    return notRecognized(AVERROR_INVALIDDATA, "no track in the stream");
  }
  std::vector<MediaTrack> tracks;
  for (unsigned index = 0; index < format_->nb_streams; ++index) {
    const AVStream* stream = format_->streams[index];
    CodecParametersPointer parameters(avcodec_parameters_alloc());
    if (!parameters || avcodec_parameters_copy(parameters.get(), stream->codecpar) < 0) {
      return notRecognized(AVERROR(ENOMEM), "no memory for a track");
    }
    tracks.push_back({stream->index, stream->codecpar->codec_type, stream->time_base, std::move(parameters)});
  }
  return tracks;
}

ns::Result<PacketPointer> TransportStreamDemuxer::readPacket() {
  QM_DCHECK_CALLED_ON(thread_);
  PacketPointer packet(av_packet_alloc());
  if (!packet) {
    return notRecognized(AVERROR(ENOMEM), "no memory for a packet");
  }
  const int read = av_read_frame(format_.get(), packet.get());
  if (read == AVERROR_EOF) {
    return PacketPointer();
  }
  if (read < 0) {
    return notRecognized(read, "unreadable packet");
  }
  return packet;
}

}  // namespace av
