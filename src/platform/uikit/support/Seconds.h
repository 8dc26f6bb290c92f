#pragma once

// Seconds as the platform's interfaces give them (a double), turned into the run loop's durations, rounded to
// the clock's tick so that 0.3 s is exactly 300 ms on a manual clock. Thread-safe: a pure function.

#include <chrono>

#include "platform/foundation/loop/RunLoop.h"

namespace uikit {

inline ns::Duration durationFromSeconds(double seconds) {
  return std::chrono::round<ns::Duration>(std::chrono::duration<double>(seconds));
}

}  // namespace uikit
