#pragma once

// av::SoundDeviceWriter: the thread that plays a SoundOutput's sound on a SoundServerStream. It takes the
// sound waiting in the SoundQueue as the device has room, renders it at the rate asked for (SoundRenderer)
// and at the system volume, writes it, and reports the item time heard: the written frames less the device's
// latency, read back through the SoundTimeline. A pause corks the stream; a flush drops what the
// renderer, the stream and the device hold. When the server goes away it says so on the console, hands the
// queue over to play without a device, and ends.
//
// Thread-safety: made and destroyed on one thread; wake() from any thread. Its own thread alone touches the
// stream, the renderer and the timeline.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <thread>

#include "platform/avfoundation/sound/RenderedSound.h"
#include "platform/avfoundation/sound/SoundQueue.h"
#include "platform/avfoundation/sound/SoundRenderer.h"
#include "platform/avfoundation/sound/SoundServerStream.h"
#include "platform/avfoundation/sound/SoundTimeline.h"

namespace av {

class SoundDeviceWriter {
 public:
  // How often the time heard is read again while the device plays.
  static constexpr ns::Duration kReportInterval = std::chrono::milliseconds(10);

  // Starts the thread, which plays what `queue` holds on `stream` until the queue is stopped. `queue` must
  // outlive the writer. REQUIRES: `stream` was opened for `sampleRate` and `channelCount`.
  SoundDeviceWriter(SoundQueue& queue, std::unique_ptr<SoundServerStream> stream, int sampleRate,
                    int channelCount);
  // Stops the queue and joins the thread.
  ~SoundDeviceWriter();
  SoundDeviceWriter(const SoundDeviceWriter&) = delete;
  SoundDeviceWriter& operator=(const SoundDeviceWriter&) = delete;

  // Makes the thread look at the queue's orders and sound again. Any thread.
  void wake() { stream_->wake(); }

 private:
  void run();
  // A flush came: drops everything held and starts again.
  void startOver(std::uint64_t generation);
  // Follows the rate asked for: corks at 0, else renders at it.
  void followRate(float rate);
  // Writes as much as the device has room for.
  void fill();
  // Tells the queue the item time heard and the item time held ahead of it.
  void report();
  // The item time of the rendered sound not yet written.
  double unwrittenSeconds() const;

  // Constant after construction
  SoundQueue& queue_;
  const std::unique_ptr<SoundServerStream> stream_;
  const int channelCount_;

  // The writer thread's own.
  SoundRenderer renderer_;
  SoundTimeline timeline_;
  std::deque<RenderedSound> unwritten_;
  // The frames of unwritten_'s first piece already written.
  std::size_t writtenOfFirst_ = 0;
  std::uint64_t generation_ = 0;
  // The frame the device played at the last report, never going back between flushes; -1 before the first.
  std::int64_t heardFrame_ = -1;
  // The rate followed: the last asked for; 0 while paused, when nothing is written.
  float rate_ = 0;

  // Last, so that the thread starts once everything it touches is made.
  std::thread thread_;
};

}  // namespace av
