#pragma once

// av::SoundQueue: what a SoundOutput shares between its callers and its device's thread. It holds the sound
// waiting to be played, in item time, and refuses more while about its capacity is ahead of what is heard
// (what waits here plus what the device's thread has taken and not yet played); it keeps the playback rate
// asked for, the item time heard, and the flushes and stop asked for, which the device's thread carries out.
//
// Without a device (none opened, or lost) nothing takes the sound but consumeThrough(), so the sound is used
// up at the pace of whoever calls it.
//
// Thread-safety: any thread.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <optional>
#include <stop_token>

#include "platform/avfoundation/DecodedAudio.h"
#include "platform/foundation/check/Mutex.h"

namespace av {

class SoundQueue {
 public:
  // What the device's thread is asked to do, as it stands.
  struct Orders {
    // Counts the flushes: sound taken before the last one is dropped.
    std::uint64_t generation = 0;
    // 0 while paused.
    float rate = 0;
    bool stop = false;
  };

  SoundQueue(double capacitySeconds, bool hasDevice);

  // Takes `audio` (moving from it) and returns true; returns false, leaving `audio` as it was, while the
  // capacity is reached.
  bool append(DecodedAudio&& audio);
  // Waits until append() would take sound, or until `stop` is requested. Returns true when there is room,
  // false when stopped.
  bool waitForRoom(const std::stop_token& stop);
  // Drops the sound waiting and what the device's thread holds; nothing is heard until new sound is.
  void flush();
  // A rate that is not a positive finite number counts as 0 (paused).
  void setRate(float rate);
  std::optional<double> heardSeconds() const;
  bool hasDevice() const;
  // Without a device: drops the sound up to item time `seconds`, cutting a run of sound that straddles it,
  // and, once some sound was reached since the last flush, makes `seconds` the time heard. With a device, or
  // for a time that is not a number, it does nothing.
  void consumeThrough(double seconds);

  // For the device's thread: what it is asked to do now.
  Orders orders() const;
  // For the device's thread: returns the oldest sound waiting, or nullopt when none waits or a flush came
  // after `generation`.
  std::optional<DecodedAudio> takeNext(std::uint64_t generation);
  // For the device's thread: the item time heard now and the item time it holds ahead of it, as of the
  // flushes through `generation`; ignored when a flush came since.
  void report(std::uint64_t generation, std::optional<double> heardSeconds, double deviceAheadSeconds);
  // For the device's thread: the device failed, so from now on the sound goes as without one.
  void loseDevice();
  // Asks the device's thread to end.
  void stop();

 private:
  bool hasRoom() const QM_REQUIRES(mutex_);

  // Constant after construction
  const double capacitySeconds_;

  mutable ns::Mutex mutex_;
  std::condition_variable roomMade_;
  std::deque<DecodedAudio> pending_ QM_GUARDED_BY(mutex_);
  double pendingSeconds_ QM_GUARDED_BY(mutex_) = 0;
  double deviceAheadSeconds_ QM_GUARDED_BY(mutex_) = 0;
  std::optional<double> heardSeconds_ QM_GUARDED_BY(mutex_);
  Orders orders_ QM_GUARDED_BY(mutex_);
  bool hasDevice_ QM_GUARDED_BY(mutex_);
};

}  // namespace av
