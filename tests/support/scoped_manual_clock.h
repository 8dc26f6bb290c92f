#pragma once

// testsupport::ScopedManualClock: switches a run loop to a manual clock for the life of the object and puts
// the steady clock back when it ends, so that a test never leaves the clock it drove to the tests after it.
// Thread-safety: on the loop's own thread only, as the loop's clock is.

#include "platform/foundation/loop/RunLoop.h"

namespace testsupport {

class ScopedManualClock {
 public:
  // REQUIRES: `loop` reads the steady clock (no other manual clock is installed on it) and outlives this.
  explicit ScopedManualClock(ns::RunLoop& loop = ns::RunLoop::main())
      : loop_(loop), clock_(loop.installManualClockForTesting()) {}
  ~ScopedManualClock() { loop_.restoreSteadyClockForTesting(); }

  ScopedManualClock(const ScopedManualClock&) = delete;
  ScopedManualClock& operator=(const ScopedManualClock&) = delete;

  ns::TimePoint now() const { return clock_.now(); }
  // Moves the clock forward, firing the timers that fall due on the way (ns::ManualClock::advance).
  void advance(ns::Duration by) { clock_.advance(by); }
  ns::ManualClock& clock() { return clock_; }

 private:
  ns::RunLoop& loop_;
  ns::ManualClock& clock_;
};

}  // namespace testsupport
