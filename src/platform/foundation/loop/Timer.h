#pragma once

// ns::Timer: a one-shot or repeating timer on a run loop, read from the loop's clock. The loop holds a
// scheduled timer until it is invalidated (a one-shot timer invalidates itself after firing). A repeating
// timer's next fire date is its previous fire date plus the interval; intervals that passed unseen on the
// steady clock are skipped, not fired late in a burst. Timers due at the same moment fire in the order they
// were scheduled; setFireDate() counts as scheduling anew. A repeating timer's interval is at least 100
// microseconds, so that it cannot fire without end. A loop invalidates the timers it holds when it is
// destroyed. REQUIRES: used on its loop's thread, except isValid().

#include <atomic>
#include <functional>
#include <memory>

#include "platform/foundation/loop/RunLoop.h"

namespace ns {

class Timer : public std::enable_shared_from_this<Timer> {
 public:
  enum class Repeats { kNo, kYes };

  // Creates a timer that first fires `interval` from now on `loop`'s clock and schedules it there.
  // Returns the timer, also held by the loop until invalidated. REQUIRES: interval >= 0.
  static std::shared_ptr<Timer> scheduled(RunLoop& loop, Duration interval, Repeats repeats,
                                          std::function<void(Timer&)> block);
  // The same on RunLoop::current().
  static std::shared_ptr<Timer> scheduled(Duration interval, Repeats repeats,
                                          std::function<void(Timer&)> block);

  // Stops the timer for good and releases the loop's hold on it. Safe to call from its own block.
  void invalidate();
  bool isValid() const { return valid_; }

  // Runs the block now; a one-shot timer is then invalidated. Does nothing when invalid.
  void fire();

  TimePoint fireDate() const { return fireDate_; }
  // Moves the next fire to `date`, keeping the interval. Does nothing when invalid.
  void setFireDate(TimePoint date);
  Duration timeInterval() const { return interval_; }
  bool repeats() const { return repeats_ == Repeats::kYes; }

  // Makes an unscheduled timer; scheduled() is the way in. Public only for std::make_shared.
  Timer(RunLoop& loop, Duration interval, Repeats repeats, std::function<void(Timer&)> block);

 private:
  friend class RunLoopImpl;

  // Constant after construction
  RunLoop& loop_;
  const Duration interval_;
  const Repeats repeats_;
  std::function<void(Timer&)> block_;

  TimePoint fireDate_{};
  std::uint64_t sequence_ = 0;  // scheduling order, for timers due at the same moment
  std::atomic<bool> valid_{true};
};

}  // namespace ns
