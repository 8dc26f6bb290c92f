#include "platform/avfoundation/sound/SoundServerStream.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <string>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/Deadline.h"

namespace av {

namespace {

constexpr char kApplicationName[] = "Quillmark";
constexpr char kStreamName[] = "lesson sound";
// Playback starts once this much is written, after the start, a flush or the device running dry.
constexpr double kStartSeconds = 0.02;
// How long waiting for the server may last at most in one turn while opening, so the deadline is kept.
constexpr ns::Duration kOpenTurn = std::chrono::milliseconds(50);

ns::Error unavailable(const std::string& why) {
  return ns::Error(std::string(kMediaErrorDomain), kMediaSoundDeviceUnavailable,
                   {{std::string(ns::kLocalizedDescriptionKey), ns::Value(why)}});
}

std::string describe(int errorCode) {
  return pa_strerror(errorCode);
}

pa_sample_spec floatSpec(int sampleRate, int channelCount) {
  pa_sample_spec spec{};
  spec.format = PA_SAMPLE_FLOAT32NE;
  spec.rate = static_cast<std::uint32_t>(sampleRate);
  spec.channels = static_cast<std::uint8_t>(channelCount);
  return spec;
}

// Turns `loop` once, waiting at most `timeout` (no limit without one). Returns false when the loop cannot.
bool turn(pa_mainloop* loop, std::optional<ns::Duration> timeout) {
  const int microseconds =
      timeout ? static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(*timeout).count())
              : -1;
  return pa_mainloop_prepare(loop, microseconds) >= 0 && pa_mainloop_poll(loop) >= 0 &&
         pa_mainloop_dispatch(loop) >= 0;
}

}  // namespace

void SoundServerStream::LoopDeleter::operator()(pa_mainloop* loop) const {
  pa_mainloop_free(loop);
}

void SoundServerStream::ContextDeleter::operator()(pa_context* context) const {
  pa_context_disconnect(context);
  pa_context_unref(context);
}

void SoundServerStream::StreamDeleter::operator()(pa_stream* stream) const {
  pa_stream_disconnect(stream);
  pa_stream_unref(stream);
}

ns::Result<std::unique_ptr<SoundServerStream>> SoundServerStream::open(int sampleRate, int channelCount) {
  QM_DCHECK(sampleRate > 0 && channelCount > 0, "the sound has a sample rate and channels");
  const pa_sample_spec spec = floatSpec(sampleRate, channelCount);
  if (channelCount > static_cast<int>(PA_CHANNELS_MAX) || !pa_sample_spec_valid(&spec)) {
    return unavailable("the sound server plays no sound of " + std::to_string(sampleRate) + " Hz and " +
                       std::to_string(channelCount) + " channels");
  }
  auto stream = std::make_unique<SoundServerStream>(sampleRate, channelCount);
  if (ns::Status connected = stream->connect(); !connected.ok()) {
    return connected.error();
  }
  if (ns::Status opened = stream->openStream(); !opened.ok()) {
    return opened.error();
  }
  return stream;
}

SoundServerStream::SoundServerStream(int sampleRate, int channelCount)
    : sampleRate_(sampleRate), channelCount_(channelCount), loop_(pa_mainloop_new()) {}

SoundServerStream::~SoundServerStream() = default;

ns::Status SoundServerStream::connect() {
  if (!loop_) {
    return unavailable("no main loop for the sound server's connection");
  }
  pa_mainloop_api* api = pa_mainloop_get_api(loop_.get());
  // The wake signal is one more source of the loop: a raised one ends the loop's wait, and is cleared there
  // before the owner looks at what it was woken for.
  api->io_new(
      api, wake_.fileDescriptor(), PA_IO_EVENT_INPUT,
      [](pa_mainloop_api*, pa_io_event*, int, pa_io_event_flags_t, void* signal) {
        static_cast<ns::WakeSignal*>(signal)->clear();
      },
      &wake_);
  context_.reset(pa_context_new(api, kApplicationName));
  if (!context_) {
    return unavailable("no connection to the sound server");
  }
  if (pa_context_connect(context_.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    return unavailable(describe(pa_context_errno(context_.get())));
  }
  return turnUntilReady("the sound server", [this]() -> std::optional<ns::Status> {
    const pa_context_state_t state = pa_context_get_state(context_.get());
    if (state == PA_CONTEXT_READY) {
      return ns::Status();
    }
    if (!PA_CONTEXT_IS_GOOD(state)) {
      return unavailable(describe(pa_context_errno(context_.get())));
    }
    return std::nullopt;
  });
}

ns::Status SoundServerStream::openStream() {
  const pa_sample_spec spec = floatSpec(sampleRate_, channelCount_);
  // The channels in the order the decoder gives them.
  pa_channel_map channels;
  pa_channel_map_init_extend(&channels, static_cast<unsigned>(channelCount_), PA_CHANNEL_MAP_WAVEEX);
  stream_.reset(pa_stream_new(context_.get(), kStreamName, &spec, &channels));
  if (!stream_) {
    return unavailable(describe(pa_context_errno(context_.get())));
  }
  pa_buffer_attr buffer;
  buffer.maxlength = static_cast<std::uint32_t>(-1);
  buffer.tlength =
      static_cast<std::uint32_t>(pa_usec_to_bytes(static_cast<pa_usec_t>(kBufferSeconds * 1e6), &spec));
  buffer.prebuf =
      static_cast<std::uint32_t>(pa_usec_to_bytes(static_cast<pa_usec_t>(kStartSeconds * 1e6), &spec));
  buffer.minreq = static_cast<std::uint32_t>(-1);
  buffer.fragsize = static_cast<std::uint32_t>(-1);
  // Uncorked from the start, so that the server sets the device's latency for the stream at once; nothing
  // plays before sound is written.
  const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
  if (pa_stream_connect_playback(stream_.get(), nullptr, &buffer, flags, nullptr, nullptr) < 0) {
    return unavailable(describe(pa_context_errno(context_.get())));
  }
  return turnUntilReady("the sound stream", [this]() -> std::optional<ns::Status> {
    const pa_stream_state_t state = pa_stream_get_state(stream_.get());
    if (state == PA_STREAM_READY) {
      return ns::Status();
    }
    if (!PA_STREAM_IS_GOOD(state)) {
      return unavailable(describe(pa_context_errno(context_.get())));
    }
    return std::nullopt;
  });
}

ns::Status SoundServerStream::turnUntilReady(const char* what,
                                             const std::function<std::optional<ns::Status>()>& ready) {
  const ns::TimePoint deadline = ns::deadlineAfter(kOpenTimeout);
  for (;;) {
    if (std::optional<ns::Status> outcome = ready()) {
      return *outcome;
    }
    const ns::TimePoint now = ns::SteadyClock::now();
    if (now >= deadline) {
      return unavailable(
          std::string(what) + " did not answer within " +
          std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kOpenTimeout).count()) + " s");
    }
    if (!turn(loop_.get(), std::min<ns::Duration>(deadline - now, kOpenTurn))) {
      return unavailable("the sound server's connection stopped");
    }
  }
}

std::size_t SoundServerStream::writableFrames() const {
  const std::size_t bytes = pa_stream_writable_size(stream_.get());
  if (bytes == static_cast<std::size_t>(-1)) {
    return 0;
  }
  return bytes / (sizeof(float) * static_cast<std::size_t>(channelCount_));
}

bool SoundServerStream::write(const float* samples, std::size_t frameCount) {
  const std::size_t bytes = frameCount * sizeof(float) * static_cast<std::size_t>(channelCount_);
  return pa_stream_write(stream_.get(), samples, bytes, nullptr, 0, PA_SEEK_RELATIVE) == 0;
}

void SoundServerStream::setCorked(bool corked) {
  corked_ = corked;
  if (pa_operation* operation = pa_stream_cork(stream_.get(), corked ? 1 : 0, nullptr, nullptr)) {
    pa_operation_unref(operation);
  }
}

void SoundServerStream::flush() {
  if (pa_operation* operation = pa_stream_flush(stream_.get(), nullptr, nullptr)) {
    pa_operation_unref(operation);
  }
}

std::optional<std::int64_t> SoundServerStream::unplayedFrames() const {
  const pa_timing_info* timing = pa_stream_get_timing_info(stream_.get());
  if (timing == nullptr || timing->write_index_corrupt != 0 || timing->read_index_corrupt != 0) {
    return std::nullopt;
  }
  const double frameBytes = sizeof(float) * static_cast<double>(channelCount_);
  const double written = static_cast<double>(timing->write_index) / frameBytes;
  // What the server has read, less what still waits in the device's own buffer, as of the timing's moment;
  // since then the device has played on, while it was playing, though never beyond what was written (which
  // is where it runs dry).
  double played = static_cast<double>(timing->read_index) / frameBytes -
                  static_cast<double>(timing->sink_usec) * sampleRate_ / 1e6;
  if (timing->playing != 0 && !corked_) {
    played += static_cast<double>(pa_timeval_age(&timing->timestamp)) * sampleRate_ / 1e6;
  }
  return static_cast<std::int64_t>(std::max(written - played, 0.0));
}

bool SoundServerStream::isAlive() const {
  return PA_CONTEXT_IS_GOOD(pa_context_get_state(context_.get())) &&
         PA_STREAM_IS_GOOD(pa_stream_get_state(stream_.get()));
}

ns::Error SoundServerStream::failure() const {
  return unavailable(describe(pa_context_errno(context_.get())));
}

void SoundServerStream::waitForEvents(std::optional<ns::Duration> timeout) {
  turn(loop_.get(), timeout);
}

void SoundServerStream::wake() {
  if (wake_.claim()) {
    wake_.raise();
  }
}

}  // namespace av
