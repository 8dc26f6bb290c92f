#include "value_round_trip.h"

#include <algorithm>
#include <cmath>

namespace {

bool sameNumber(const ns::Value& before, const ns::Value& after, const RoundTripTolerance& tolerance) {
  if (before.isDouble() && after.isDouble()) {
    return before.asDouble() == after.asDouble() ||
           (std::isnan(before.asDouble()) && std::isnan(after.asDouble()));
  }
  if (before.kind() != after.kind() && !tolerance.numbersMayChangeKind) {
    return false;
  }
  // Value's own equality compares integers and doubles exactly by value.
  return before == after;
}

}  // namespace

bool sameAfterRoundTrip(const ns::Value& before, const ns::Value& after,
                        const RoundTripTolerance& tolerance) {
  const bool numbers = (before.isInteger() || before.isDouble()) && (after.isInteger() || after.isDouble());
  if (numbers) {
    return sameNumber(before, after, tolerance);
  }
  if (before.kind() != after.kind()) {
    return false;
  }
  switch (before.kind()) {
    case ns::ValueKind::kDate:
      return std::fabs(before.asDate().timeIntervalSinceDate(after.asDate())) <= tolerance.dateSeconds;
    case ns::ValueKind::kArray:
      return std::ranges::equal(
          before.asArray(), after.asArray(),
          [&](const ns::Value& a, const ns::Value& b) { return sameAfterRoundTrip(a, b, tolerance); });
    case ns::ValueKind::kDictionary:
      return std::ranges::equal(
          before.asDictionary(), after.asDictionary(), [&](const auto& a, const auto& b) {
            return a.first == b.first && sameAfterRoundTrip(a.second, b.second, tolerance);
          });
    default:
      return before == after;
  }
}
