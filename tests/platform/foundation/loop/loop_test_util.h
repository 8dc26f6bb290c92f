#pragma once

// Helpers for the loop tests: a deadline for every wait, a countdown to wait on, an announcement log.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "platform/foundation/loop/Operation.h"

namespace ns::testing {

// Never reached by a working build; a broken one fails instead of hanging.
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

  // Returns true when the count reached zero before the timeout.
  bool waitFor(std::chrono::steady_clock::duration timeout = kDeadline) {
    std::unique_lock lock(mutex_);
    return reachedZero_.wait_for(lock, timeout, [this] { return count_ == 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable reachedZero_;
  std::size_t count_;
};

// Records every announcement an operation makes, as "will isExecuting", "did isFinished" and so on.
class AnnouncementLog {
 public:
  explicit AnnouncementLog(Operation& operation) {
    operation.addKeyObserver([this](Operation&, std::string_view key, KeyChange change) {
      std::lock_guard lock(mutex_);
      entries_.push_back((change == KeyChange::kWill ? "will " : "did ") + std::string(key));
    });
  }
  std::vector<std::string> entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> entries_;
};

}  // namespace ns::testing
