#include "platform/avfoundation/sound/TempoFilter.h"

#include <algorithm>
#include <string>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include "platform/avfoundation/MediaErrors.h"
#include "platform/foundation/check/Check.h"

namespace av {

namespace {

// The input's description for the graph's source. The channels get FFmpeg's default layout for their count;
// push() gives its frames the same one.
ns::Status describeSource(AVFilterContext& source, int sampleRate, int channelCount) {
  AVBufferSrcParameters* parameters = av_buffersrc_parameters_alloc();
  if (parameters == nullptr) {
    return libavError(AVERROR(ENOMEM), "no memory for the tempo filter");
  }
  parameters->format = AV_SAMPLE_FMT_FLT;
  parameters->sample_rate = sampleRate;
  parameters->time_base = AVRational{1, sampleRate};
  av_channel_layout_default(&parameters->ch_layout, channelCount);
  const int described = av_buffersrc_parameters_set(&source, parameters);
  av_channel_layout_uninit(&parameters->ch_layout);
  av_free(parameters);
  if (described < 0) {
    return libavError(described, "no tempo filter for this sound");
  }
  return {};
}

// Adds the filter called `name` to `graph` and returns it, or nullptr with `failure` set. With `arguments`
// the filter is initialised from them at once; without, the caller sets its options and initialises it.
AVFilterContext* addFilter(AVFilterGraph& graph, const char* name, const char* arguments, int& failure) {
  const AVFilter* filter = avfilter_get_by_name(name);
  if (filter == nullptr) {
    failure = AVERROR_FILTER_NOT_FOUND;
    return nullptr;
  }
  AVFilterContext* context = avfilter_graph_alloc_filter(&graph, filter, name);
  if (context == nullptr) {
    failure = AVERROR(ENOMEM);
    return nullptr;
  }
  if (arguments != nullptr) {
    failure = avfilter_init_str(context, arguments);
  }
  return failure < 0 ? nullptr : context;
}

}  // namespace

ns::Result<std::unique_ptr<TempoFilter>> TempoFilter::open(int sampleRate, int channelCount, double tempo) {
  QM_DCHECK(sampleRate > 0 && channelCount > 0, "the sound has a sample rate and channels");
  QM_DCHECK(tempo >= kSlowestTempo && tempo <= kFastestTempo,
            "the tempo is one the filter keeps the pitch of");
  FilterGraphPointer graph(avfilter_graph_alloc());
  if (!graph) {
    return libavError(AVERROR(ENOMEM), "no memory for the tempo filter");
  }
  // The sound output's own thread runs the filter; its load is small.
  graph->nb_threads = 1;

  int failure = 0;
  AVFilterContext* source = addFilter(*graph, "abuffer", nullptr, failure);
  if (source == nullptr) {
    return libavError(failure, "no tempo filter");
  }
  if (ns::Status described = describeSource(*source, sampleRate, channelCount); !described.ok()) {
    return described.error();
  }
  if (const int initialised = avfilter_init_str(source, nullptr); initialised < 0) {
    return libavError(initialised, "no tempo filter");
  }
  const std::string tempoArguments = "tempo=" + std::to_string(tempo);
  AVFilterContext* tempoStage = addFilter(*graph, "atempo", tempoArguments.c_str(), failure);
  AVFilterContext* sink =
      tempoStage == nullptr ? nullptr : addFilter(*graph, "abuffersink", nullptr, failure);
  if (sink == nullptr) {
    return libavError(failure, "no tempo filter");
  }
  // Interleaved float out, as the input came.
  const AVSampleFormat kFloatOnly[] = {AV_SAMPLE_FMT_FLT, AV_SAMPLE_FMT_NONE};
  failure = av_opt_set_int_list(sink, "sample_fmts", kFloatOnly, AV_SAMPLE_FMT_NONE, AV_OPT_SEARCH_CHILDREN);
  if (failure >= 0) {
    failure = avfilter_init_str(sink, nullptr);
  }
  if (failure >= 0) {
    failure = avfilter_link(source, 0, tempoStage, 0);
  }
  if (failure >= 0) {
    failure = avfilter_link(tempoStage, 0, sink, 0);
  }
  if (failure >= 0) {
    failure = avfilter_graph_config(graph.get(), nullptr);
  }
  if (failure < 0) {
    return libavError(failure, "no tempo filter");
  }
  return std::make_unique<TempoFilter>(std::move(graph), source, sink, sampleRate, channelCount);
}

TempoFilter::TempoFilter(FilterGraphPointer graph, AVFilterContext* source, AVFilterContext* sink,
                         int sampleRate, int channelCount)
    : graph_(std::move(graph)),
      source_(source),
      sink_(sink),
      sampleRate_(sampleRate),
      channelCount_(channelCount) {}

ns::Status TempoFilter::push(const float* samples, std::size_t frameCount) {
  if (frameCount == 0) {
    return {};
  }
  FramePointer frame(av_frame_alloc());
  if (!frame) {
    return libavError(AVERROR(ENOMEM), "no memory for the tempo filter's input");
  }
  frame->format = AV_SAMPLE_FMT_FLT;
  frame->sample_rate = sampleRate_;
  av_channel_layout_default(&frame->ch_layout, channelCount_);
  frame->nb_samples = static_cast<int>(frameCount);
  frame->pts = pushedFrames_;
  if (const int allocated = av_frame_get_buffer(frame.get(), 0); allocated < 0) {
    return libavError(allocated, "no memory for the tempo filter's input");
  }
  std::copy(samples, samples + frameCount * channelCount_, reinterpret_cast<float*>(frame->data[0]));
  if (const int added = av_buffersrc_add_frame(source_, frame.get()); added < 0) {
    return libavError(added, "the tempo filter refused the sound");
  }
  pushedFrames_ += static_cast<std::int64_t>(frameCount);
  return {};
}

ns::Status TempoFilter::finish() {
  if (const int ended = av_buffersrc_add_frame(source_, nullptr); ended < 0) {
    return libavError(ended, "the tempo filter did not end");
  }
  return {};
}

ns::Status TempoFilter::pull(std::vector<float>& samples) {
  FramePointer frame(av_frame_alloc());
  if (!frame) {
    return libavError(AVERROR(ENOMEM), "no memory for the tempo filter's output");
  }
  for (;;) {
    const int got = av_buffersink_get_frame(sink_, frame.get());
    if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) {
      return {};
    }
    if (got < 0) {
      return libavError(got, "the tempo filter failed");
    }
    const auto* first = reinterpret_cast<const float*>(frame->data[0]);
    samples.insert(samples.end(), first, first + static_cast<std::size_t>(frame->nb_samples) * channelCount_);
    av_frame_unref(frame.get());
  }
}

}  // namespace av
