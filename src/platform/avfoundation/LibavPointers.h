#pragma once

// Owning pointers for FFmpeg's objects, each freed by its own library function. Thread-safety: as the
// objects themselves (one thread at a time).

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/packet.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace av {

struct PacketDeleter {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using PacketPointer = std::unique_ptr<AVPacket, PacketDeleter>;

// A custom I/O context and the buffer it reads into (which libavformat may have replaced by its own).
struct IOContextDeleter {
  void operator()(AVIOContext* context) const {
    av_freep(&context->buffer);
    avio_context_free(&context);
  }
};
using IOContextPointer = std::unique_ptr<AVIOContext, IOContextDeleter>;

// An opened input; closing it leaves a custom I/O context to its own owner.
struct InputContextDeleter {
  void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using InputContextPointer = std::unique_ptr<AVFormatContext, InputContextDeleter>;

struct CodecParametersDeleter {
  void operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
};
using CodecParametersPointer = std::unique_ptr<AVCodecParameters, CodecParametersDeleter>;

struct CodecContextDeleter {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
using CodecContextPointer = std::unique_ptr<AVCodecContext, CodecContextDeleter>;

struct FrameDeleter {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using FramePointer = std::unique_ptr<AVFrame, FrameDeleter>;

struct ScaleContextDeleter {
  void operator()(SwsContext* context) const { sws_freeContext(context); }
};
using ScaleContextPointer = std::unique_ptr<SwsContext, ScaleContextDeleter>;

struct ResampleContextDeleter {
  void operator()(SwrContext* context) const { swr_free(&context); }
};
using ResampleContextPointer = std::unique_ptr<SwrContext, ResampleContextDeleter>;

// A filter graph and every filter in it.
struct FilterGraphDeleter {
  void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};
using FilterGraphPointer = std::unique_ptr<AVFilterGraph, FilterGraphDeleter>;

}  // namespace av
