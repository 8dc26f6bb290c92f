#pragma once

// av::SoundServerStream: one playback stream of interleaved float sound to the sound server's default output
// (the server the environment names, else the user's own), through libpulse's asynchronous API on a main
// loop of its own that the owner's thread turns with waitForEvents(). No server is ever started for it. The
// stream plays what is written as it comes, and keeps about kBufferSeconds written ahead of what the device
// plays, so that a pause, a flush or a change of volume is heard soon.
//
// Thread-safety: one thread at a time (open() may run on another thread than the later calls), except
// wake(), which any thread may call.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/loop/WakeSignal.h"
#include "platform/foundation/values/Result.h"

struct pa_context;
struct pa_mainloop;
struct pa_stream;

namespace av {

class SoundServerStream {
 public:
  static constexpr double kBufferSeconds = 0.1;
  // The longest wait for the server to accept the connection and the stream.
  static constexpr ns::Duration kOpenTimeout = std::chrono::seconds(2);

  // Connects and opens a corked stream for sound of `sampleRate` and `channelCount`. Returns the stream,
  // owned by the caller, or a kMediaErrorDomain error kMediaSoundDeviceUnavailable whose description names
  // the cause (no server, a refused format, no answer within kOpenTimeout).
  // REQUIRES: sampleRate > 0, channelCount > 0.
  static ns::Result<std::unique_ptr<SoundServerStream>> open(int sampleRate, int channelCount);
  ~SoundServerStream();
  SoundServerStream(const SoundServerStream&) = delete;
  SoundServerStream& operator=(const SoundServerStream&) = delete;

  // The frames that can be written now without going beyond the buffer; 0 once the stream failed.
  std::size_t writableFrames() const;
  // Writes `frameCount` frames after those written before. Returns false when the server refused them (the
  // stream failed).
  bool write(const float* samples, std::size_t frameCount);
  // Pauses or resumes the device's playing of the stream.
  void setCorked(bool corked);
  // Drops what is written and not yet played.
  void flush();
  // The frames written and not yet played by the device (its own latency included): never negative, since
  // a device that runs dry has played everything written. nullopt until the server has told, at the start
  // and after each flush.
  std::optional<std::int64_t> unplayedFrames() const;
  // False once the connection or the stream failed (the server went away); failure() then says why.
  bool isAlive() const;
  ns::Error failure() const;

  // Handles what the server sent and waits for more, for wake() or for `timeout` (no limit without one),
  // then handles what came. Returns after one such turn.
  void waitForEvents(std::optional<ns::Duration> timeout);
  // Makes the current or next waitForEvents() return. Any thread.
  void wake();

  // Use open(); public for std::make_unique.
  SoundServerStream(int sampleRate, int channelCount);

 private:
  struct LoopDeleter {
    void operator()(pa_mainloop* loop) const;
  };
  struct ContextDeleter {
    void operator()(pa_context* context) const;
  };
  struct StreamDeleter {
    void operator()(pa_stream* stream) const;
  };

  ns::Status connect();
  ns::Status openStream();
  // Turns the loop until `ready` returns a value or kOpenTimeout has passed; returns its value, or the error
  // of the time-out.
  ns::Status turnUntilReady(const char* what, const std::function<std::optional<ns::Status>()>& ready);

  // Constant after construction
  const int sampleRate_;
  const int channelCount_;

  // Destroyed last, after the loop that watches it.
  ns::WakeSignal wake_;
  std::unique_ptr<pa_mainloop, LoopDeleter> loop_;
  std::unique_ptr<pa_context, ContextDeleter> context_;
  std::unique_ptr<pa_stream, StreamDeleter> stream_;
  bool corked_ = false;
};

}  // namespace av
