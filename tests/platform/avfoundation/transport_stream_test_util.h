#pragma once

// Small MPEG transport streams made with libavformat's own muxer, for tests of the engine: one MPEG-2 video
// track and one MP2 audio track whose packets are frames in outline only: each opens as a frame does (a
// picture and a slice start code; a 64 kbit/s mono 48 kHz frame header, 192 bytes a frame), so that the
// demuxer's parsers keep one frame a packet, and the rest is filler in which a decoder would find nothing.
// The streams are cut into segments at packet boundaries.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/foundation/values/Data.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace avtest {

inline int appendToData(void* opaque, std::uint8_t* bytes, int length) {
  auto* data = static_cast<ns::Data*>(opaque);
  data->insert(data->end(), bytes, bytes + length);
  return length;
}

// Returns a stream of `packetsPerTrack` packets on each track, 40 ms apart.
inline ns::Data transportStream(int packetsPerTrack) {
  ns::Data output;
  AVFormatContext* muxer = nullptr;
  EXPECT_GE(avformat_alloc_output_context2(&muxer, nullptr, "mpegts", nullptr), 0);
  constexpr int kBufferSize = 4096;
  auto* buffer = static_cast<std::uint8_t*>(av_malloc(kBufferSize));
  muxer->pb = avio_alloc_context(buffer, kBufferSize, 1, &output, nullptr, &appendToData, nullptr);
  AVStream* video = avformat_new_stream(muxer, nullptr);
  video->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
  video->codecpar->codec_id = AV_CODEC_ID_MPEG2VIDEO;
  video->codecpar->width = 64;
  video->codecpar->height = 48;
  video->time_base = {1, 90000};
  AVStream* audio = avformat_new_stream(muxer, nullptr);
  audio->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
  audio->codecpar->codec_id = AV_CODEC_ID_MP2;
  audio->codecpar->sample_rate = 48000;
  av_channel_layout_default(&audio->codecpar->ch_layout, 1);
  audio->time_base = {1, 90000};
  EXPECT_GE(avformat_write_header(muxer, nullptr), 0);
  AVPacket* packet = av_packet_alloc();
  for (int index = 0; index < packetsPerTrack; ++index) {
    for (AVStream* stream : {video, audio}) {
      const bool isVideo = stream == video;
      EXPECT_GE(av_new_packet(packet, isVideo ? 300 : 192), 0);
      // Filler never holds two zero bytes in a row, so it never reads as a start code.
      for (int at = 0; at < packet->size; ++at) {
        packet->data[at] = static_cast<std::uint8_t>(1 + (index + at) % 200);
      }
      const std::uint8_t videoStart[] = {0x00, 0x00, 0x01, 0x00, 0x00, 0x08, 0x00, 0x00, 0x01, 0x01};
      const std::uint8_t audioStart[] = {0xff, 0xfd, 0x44, 0xc0};
      if (isVideo) {
        std::copy(std::begin(videoStart), std::end(videoStart), packet->data);
      } else {
        std::copy(std::begin(audioStart), std::end(audioStart), packet->data);
      }
      packet->stream_index = stream->index;
      packet->pts = packet->dts = av_rescale_q(index * 40, {1, 1000}, stream->time_base);
      EXPECT_GE(av_interleaved_write_frame(muxer, packet), 0);
    }
  }
  av_packet_free(&packet);
  EXPECT_GE(av_write_trailer(muxer), 0);
  av_freep(&muxer->pb->buffer);
  avio_context_free(&muxer->pb);
  avformat_free_context(muxer);
  return output;
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
