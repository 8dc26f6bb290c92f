#pragma once

// av::TimeRange: a stretch of media time, from `start` for `duration`. Thread-safe as a value.

#include "platform/avfoundation/Time.h"

namespace av {

struct TimeRange {
  Time start;
  Time duration;

  friend bool operator==(const TimeRange&, const TimeRange&) = default;
};

}  // namespace av
