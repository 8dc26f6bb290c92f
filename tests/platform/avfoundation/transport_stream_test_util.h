#pragma once

// Small MPEG transport streams made with FFmpeg's own muxer and encoder, for tests of the engine, and their
// cutting into segments at packet boundaries.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/foundation/values/Data.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace avtest {

// Writes a transport stream into memory.
class TransportStreamWriter {
 public:
  TransportStreamWriter() {
    EXPECT_GE(avformat_alloc_output_context2(&muxer_, nullptr, "mpegts", nullptr), 0);
    constexpr int kBufferSize = 4096;
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kBufferSize));
    muxer_->pb = avio_alloc_context(buffer, kBufferSize, 1, &output_, nullptr, &append, nullptr);
  }
  ~TransportStreamWriter() {
    av_freep(&muxer_->pb->buffer);
    avio_context_free(&muxer_->pb);
    avformat_free_context(muxer_);
  }

  AVStream* addStream(AVMediaType type, AVCodecID codec) {
    AVStream* stream = avformat_new_stream(muxer_, nullptr);
    stream->codecpar->codec_type = type;
    stream->codecpar->codec_id = codec;
    stream->time_base = {1, 90000};
    return stream;
  }
  void start() { EXPECT_GE(avformat_write_header(muxer_, nullptr), 0); }
  // Writes `packet`, whose timestamps are in `from`, on `stream`.
  void write(AVPacket* packet, const AVStream* stream, AVRational from) {
    av_packet_rescale_ts(packet, from, stream->time_base);
    packet->stream_index = stream->index;
    EXPECT_GE(av_interleaved_write_frame(muxer_, packet), 0);
  }
  ns::Data finish() {
    EXPECT_GE(av_write_trailer(muxer_), 0);
    return output_;
  }

 private:
  static int append(void* opaque, std::uint8_t* bytes, int length) {
    auto* data = static_cast<ns::Data*>(opaque);
    data->insert(data->end(), bytes, bytes + length);
    return length;
  }

  AVFormatContext* muxer_ = nullptr;
  ns::Data output_;
};

// Returns a stream of an MPEG-2 video track and an MP2 audio track, `packetsPerTrack` packets each, 40 ms
// apart, that are frames in outline only: each opens as a frame does (a picture and a slice start code; a
// 64 kbit/s mono 48 kHz frame header, 192 bytes a frame), so that the demuxer's parsers keep one frame a
// packet, and the rest is filler in which a decoder would find nothing.
inline ns::Data transportStream(int packetsPerTrack) {
  TransportStreamWriter writer;
  AVStream* video = writer.addStream(AVMEDIA_TYPE_VIDEO, AV_CODEC_ID_MPEG2VIDEO);
  video->codecpar->width = 64;
  video->codecpar->height = 48;
  AVStream* audio = writer.addStream(AVMEDIA_TYPE_AUDIO, AV_CODEC_ID_MP2);
  audio->codecpar->sample_rate = 48000;
  av_channel_layout_default(&audio->codecpar->ch_layout, 1);
  writer.start();
  AVPacket* packet = av_packet_alloc();
  for (int index = 0; index < packetsPerTrack; ++index) {
    for (AVStream* stream : {video, audio}) {
      const bool isVideo = stream == video;
      EXPECT_GE(av_new_packet(packet, isVideo ? 300 : 192), 0);
      // Filler never holds two zero bytes in a row, so it never reads as a start code.
      for (int at = 0; at < packet->size; ++at) {
        packet->data[at] = static_cast<std::uint8_t>(1 + (index + at) % 200);
      }
      const std::vector<std::uint8_t> start =
          isVideo ? std::vector<std::uint8_t>{0x00, 0x00, 0x01, 0x00, 0x00, 0x08, 0x00, 0x00, 0x01, 0x01}
                  : std::vector<std::uint8_t>{0xff, 0xfd, 0x44, 0xc0};
      std::copy(start.begin(), start.end(), packet->data);
      packet->pts = packet->dts = index * 40;
      writer.write(packet, stream, {1, 1000});
    }
  }
  av_packet_free(&packet);
  return writer.finish();
}

// Returns a stream of one MPEG-2 video track of `frames` real `width` x `height` pictures at 25 per second
// (64x48 unless given), a keyframe every 10: a bright bar four pixels wide that moves four pixels a frame
// across a dark ground, coming back every 16 frames.
inline ns::Data videoTransportStream(int frames, int width = 64, int height = 48) {
  TransportStreamWriter writer;
  AVStream* video = writer.addStream(AVMEDIA_TYPE_VIDEO, AV_CODEC_ID_MPEG2VIDEO);
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
  AVCodecContext* encoder = avcodec_alloc_context3(codec);
  encoder->width = width;
  encoder->height = height;
  encoder->pix_fmt = AV_PIX_FMT_YUV420P;
  encoder->time_base = {1, 25};
  encoder->framerate = {25, 1};
  encoder->gop_size = 10;
  encoder->max_b_frames = 0;
  EXPECT_GE(avcodec_open2(encoder, codec, nullptr), 0);
  EXPECT_GE(avcodec_parameters_from_context(video->codecpar, encoder), 0);
  writer.start();
  AVFrame* frame = av_frame_alloc();
  frame->format = encoder->pix_fmt;
  frame->width = encoder->width;
  frame->height = encoder->height;
  EXPECT_GE(av_frame_get_buffer(frame, 0), 0);
  AVPacket* packet = av_packet_alloc();
  auto drain = [&] {
    while (avcodec_receive_packet(encoder, packet) == 0) {
      writer.write(packet, video, encoder->time_base);
    }
  };
  for (int index = 0; index <= frames; ++index) {
    if (index == frames) {
      avcodec_send_frame(encoder, nullptr);
      drain();
      break;
    }
    EXPECT_GE(av_frame_make_writable(frame), 0);
    const int bar = (index % 16) * 4;
    for (int y = 0; y < frame->height; ++y) {
      std::uint8_t* row = frame->data[0] + y * frame->linesize[0];
      std::fill_n(row, frame->width, 16);
      std::fill_n(row + bar, std::min(4, frame->width - bar), 235);
    }
    for (int plane = 1; plane <= 2; ++plane) {
      for (int y = 0; y < frame->height / 2; ++y) {
        std::fill_n(frame->data[plane] + y * frame->linesize[plane], frame->width / 2, 128);
      }
    }
    frame->pts = index;
    EXPECT_GE(avcodec_send_frame(encoder, frame), 0);
    drain();
  }
  av_packet_free(&packet);
  av_frame_free(&frame);
  avcodec_free_context(&encoder);
  return writer.finish();
}

// Returns `stream` cut into `count` segments of whole 188-byte packets.
inline std::vector<ns::Data> segmentsOf(const ns::Data& stream, std::size_t count) {
  constexpr std::size_t kPacketSize = 188;
  const std::size_t packets = stream.size() / kPacketSize;
  std::vector<ns::Data> segments;
  for (std::size_t index = 0; index < count; ++index) {
    const std::size_t begin = packets * index / count * kPacketSize;
    const std::size_t end = index + 1 == count ? stream.size() : packets * (index + 1) / count * kPacketSize;
    segments.emplace_back(stream.begin() + static_cast<std::ptrdiff_t>(begin),
                          stream.begin() + static_cast<std::ptrdiff_t>(end));
  }
  return segments;
}

}  // namespace avtest
