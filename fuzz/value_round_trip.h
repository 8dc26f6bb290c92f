#pragma once

// Compares a value with what came back after it was written and read again, for the fuzz targets of the
// JSON and property-list serialisations. Each format loses a little on the way, by design; the tolerance
// says how much, and everything else must come back as it was.

#include "platform/foundation/values/Value.h"

struct RoundTripTolerance {
  // JSON writes the double 3.0 as "3", which reads back as an integer.
  bool numbersMayChangeKind = false;
  // XML property lists keep dates in whole seconds.
  double dateSeconds = 0;
};

// Returns true when `after` holds what `before` held, kind for kind (integers and doubles interchangeable
// only as `tolerance` allows), with NaN equal to NaN and dates no further apart than `tolerance` allows.
bool sameAfterRoundTrip(const ns::Value& before, const ns::Value& after, const RoundTripTolerance& tolerance);
