#include "platform/avfoundation/sound/SoundQueue.h"

#include <algorithm>
#include <cmath>

namespace av {

SoundQueue::SoundQueue(double capacitySeconds, bool hasDevice)
    : capacitySeconds_(capacitySeconds), hasDevice_(hasDevice) {}

bool SoundQueue::append(DecodedAudio&& audio) {
  ns::MutexLock lock(mutex_);
  if (!hasRoom()) {
    return false;
  }
  pendingSeconds_ += audio.duration();
  pending_.push_back(std::move(audio));
  return true;
}

bool SoundQueue::waitForRoom(const std::stop_token& stop) {
  // The callback takes the mutex before it wakes the waiter, so that a stop requested between the waiter's
  // test and its wait still wakes it. It is made before the lock is taken and ends after it is let go: it
  // runs at once on this thread when the stop came already, and its end waits for a callback in progress.
  const std::stop_callback wakeOnStop(stop, [this] {
    { ns::MutexLock lock(mutex_); }
    roomMade_.notify_all();
  });
  ns::MutexLock lock(mutex_);
  while (!stop.stop_requested() && !hasRoom()) {
    lock.wait(roomMade_);
  }
  return !stop.stop_requested();
}

void SoundQueue::flush() {
  std::deque<DecodedAudio> dropped;
  {
    ns::MutexLock lock(mutex_);
    dropped.swap(pending_);
    pendingSeconds_ = 0;
    deviceAheadSeconds_ = 0;
    heardSeconds_.reset();
    ++orders_.generation;
  }
  roomMade_.notify_all();
}

void SoundQueue::setRate(float rate) {
  ns::MutexLock lock(mutex_);
  orders_.rate = std::isfinite(rate) && rate > 0 ? rate : 0;
}

std::optional<double> SoundQueue::heardSeconds() const {
  ns::MutexLock lock(mutex_);
  return heardSeconds_;
}

bool SoundQueue::hasDevice() const {
  ns::MutexLock lock(mutex_);
  return hasDevice_;
}

void SoundQueue::consumeThrough(double seconds) {
  if (std::isnan(seconds)) {
    return;
  }
  {
    ns::MutexLock lock(mutex_);
    if (hasDevice_) {
      return;
    }
    bool reached = false;
    while (!pending_.empty() && pending_.front().seconds <= seconds) {
      reached = true;
      DecodedAudio& first = pending_.front();
      const double duration = first.duration();
      if (first.seconds + duration <= seconds) {
        pendingSeconds_ -= duration;
        pending_.pop_front();
        continue;
      }
      const std::size_t framesBefore = std::min(
          static_cast<std::size_t>((seconds - first.seconds) * first.sampleRate), first.frameCount());
      first.samples.erase(
          first.samples.begin(),
          first.samples.begin() + static_cast<std::ptrdiff_t>(framesBefore * first.channelCount));
      first.seconds += static_cast<double>(framesBefore) / first.sampleRate;
      pendingSeconds_ -= duration - first.duration();
      break;
    }
    if (pending_.empty()) {
      pendingSeconds_ = 0;
    }
    if (reached || heardSeconds_) {
      heardSeconds_ = seconds;
    }
  }
  roomMade_.notify_all();
}

SoundQueue::Orders SoundQueue::orders() const {
  ns::MutexLock lock(mutex_);
  return orders_;
}

std::optional<DecodedAudio> SoundQueue::takeNext(std::uint64_t generation) {
  ns::MutexLock lock(mutex_);
  if (generation != orders_.generation || pending_.empty()) {
    return std::nullopt;
  }
  DecodedAudio next = std::move(pending_.front());
  pending_.pop_front();
  pendingSeconds_ = pending_.empty() ? 0 : std::max(pendingSeconds_ - next.duration(), 0.0);
  // Until the next report, the sound taken counts as held by the device.
  deviceAheadSeconds_ += next.duration();
  return next;
}

void SoundQueue::report(std::uint64_t generation, std::optional<double> heardSeconds,
                        double deviceAheadSeconds) {
  {
    ns::MutexLock lock(mutex_);
    if (generation != orders_.generation) {
      return;
    }
    heardSeconds_ = heardSeconds;
    deviceAheadSeconds_ = deviceAheadSeconds;
  }
  roomMade_.notify_all();
}

void SoundQueue::loseDevice() {
  {
    ns::MutexLock lock(mutex_);
    hasDevice_ = false;
    deviceAheadSeconds_ = 0;
  }
  roomMade_.notify_all();
}

void SoundQueue::stop() {
  ns::MutexLock lock(mutex_);
  orders_.stop = true;
}

bool SoundQueue::hasRoom() const {
  return pendingSeconds_ + deviceAheadSeconds_ < capacitySeconds_;
}

}  // namespace av
