#pragma once

// av::PipelineSignal: a count that the stages of one player item's pipeline (the segment road's decryption
// and demuxer, the stream decoder) move whenever the pipeline has made progress or a stage has begun to
// wait for input, so that the player can wait for the pipeline on a condition variable instead of polling
// it: read generation(), look at the stages, then waitForChange() from the generation read. A change made
// after the read is never missed.
//
// Thread-safety: thread-safe.

#include <chrono>
#include <condition_variable>
#include <cstdint>

#include "platform/foundation/check/Mutex.h"

namespace av {

class PipelineSignal {
 public:
  PipelineSignal() = default;
  PipelineSignal(const PipelineSignal&) = delete;
  PipelineSignal& operator=(const PipelineSignal&) = delete;

  // Moves the count on and wakes every waiter.
  void notify() QM_EXCLUDES(mutex_);
  std::uint64_t generation() const QM_EXCLUDES(mutex_);
  // Waits until the count differs from `seen` or `deadline` (of the steady clock) has passed. Returns true
  // when the count moved.
  bool waitForChange(std::uint64_t seen, std::chrono::steady_clock::time_point deadline) QM_EXCLUDES(mutex_);

 private:
  mutable ns::Mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t generation_ QM_GUARDED_BY(mutex_) = 0;
};

}  // namespace av
