#pragma once

// av::Time: a media time as a rational number of seconds, value / timescale, or the indefinite time of a
// stream without an end (a live playlist). A valid time has a positive timescale; the indefinite one has
// none, so a reader must ask isIndefinite() before dividing. Thread-safe as a value.

#include <cmath>
#include <cstdint>

namespace av {

struct Time {
  // The timescale of times made from seconds: milliseconds.
  static constexpr std::int32_t kDefaultTimescale = 1000;

  std::int64_t value = 0;
  std::int32_t timescale = 0;
  bool indefinite = false;

  // Returns `seconds` rounded to the nearest millisecond.
  static Time fromSeconds(double seconds) {
    return Time{static_cast<std::int64_t>(std::llround(seconds * kDefaultTimescale)), kDefaultTimescale,
                false};
  }
  static Time indefiniteTime() { return Time{0, 0, true}; }

  bool isIndefinite() const { return indefinite; }
  // Returns value / timescale, or 0 for the indefinite time and a time without a timescale.
  double seconds() const { return timescale > 0 && !indefinite ? static_cast<double>(value) / timescale : 0; }

  friend bool operator==(const Time&, const Time&) = default;
};

}  // namespace av
