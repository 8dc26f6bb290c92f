#pragma once

// Helpers for the loop tests: a deadline for every wait, and a countdown that threads wait on with it.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace ns::testing {

// Long enough never to be reached by a working build, short enough that a broken one fails instead of
// hanging.
inline constexpr std::chrono::seconds kDeadline{5};

class Countdown {
 public:
  explicit Countdown(std::size_t count) : count_(count) {}

  void countDown() {
    std::lock_guard lock(mutex_);
    if (count_ > 0 && --count_ == 0) {
      reachedZero_.notify_all();
    }
  }

  // Returns true when the count reached zero before the deadline.
  bool waitFor(std::chrono::steady_clock::duration timeout = kDeadline) {
    std::unique_lock lock(mutex_);
    return reachedZero_.wait_for(lock, timeout, [this] { return count_ == 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable reachedZero_;
  std::size_t count_;
};

}  // namespace ns::testing
