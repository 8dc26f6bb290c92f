#pragma once

// deadlineAfter: the steady-clock time `timeout` from now. A timeout beyond ten years counts as ten years,
// so that Duration::max() means "no deadline" without overflowing the clock or the kernel's time values.
// Thread-safe.

#include <algorithm>
#include <chrono>

#include "platform/foundation/loop/RunLoop.h"

namespace ns {

inline TimePoint deadlineAfter(Duration timeout) {
  constexpr Duration kLongest = std::chrono::hours(24 * 365 * 10);
  return SteadyClock::now() + std::min(timeout, kLongest);
}

}  // namespace ns
