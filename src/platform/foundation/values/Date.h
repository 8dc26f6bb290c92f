#pragma once

// A point in wall-clock time, held as seconds since 1970-01-01 00:00:00 GMT, as the platform's date is.
// Thread-safe: a plain value.

#include <compare>

namespace ns {

class Date {
 public:
  Date() = default;
  explicit Date(double secondsSince1970) : secondsSince1970_(secondsSince1970) {}

  // Returns the current wall-clock time (the system clock, not a run loop's clock).
  static Date now();

  double timeIntervalSince1970() const { return secondsSince1970_; }
  // Returns this date minus `other`, in seconds.
  double timeIntervalSinceDate(Date other) const { return secondsSince1970_ - other.secondsSince1970_; }
  Date dateByAddingTimeInterval(double seconds) const { return Date(secondsSince1970_ + seconds); }

  auto operator<=>(const Date&) const = default;

 private:
  double secondsSince1970_ = 0;
};

}  // namespace ns
