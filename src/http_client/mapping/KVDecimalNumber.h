#pragma once

// KVDecimalNumber: a number kept in base ten, as decimal-number properties of models hold it, so that money
// amounts such as 0.1 stay exact. It holds up to 38 significant digits and a power of ten; further digits
// are cut; the power of ten lies between -128 and 127.
//
// Thread-safety: a value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Value.h"

namespace http_client {

class KVDecimalNumber {
 public:
  static constexpr std::size_t kMaximumDigits = 38;
  static constexpr int kMinimumExponent = -128;
  static constexpr int kMaximumExponent = 127;

  // Zero.
  KVDecimalNumber() = default;

  // Returns the number that `text` spells in the grammar of KVNumberParser, or std::nullopt for any other
  // text and for numbers whose power of ten falls outside the range.
  static std::optional<KVDecimalNumber> fromString(std::string_view text);
  // Returns the number that a number value holds (a boolean counts as 0 or 1), exactly for integers and
  // through the shortest text that reads back for doubles. Returns std::nullopt for other values and for
  // doubles that are not finite.
  static std::optional<KVDecimalNumber> fromNumber(const ns::Value& number);

  // The plain decimal text: "12.5", "-0.001", "1200", "0".
  std::string description() const;
  double doubleValue() const;
  // The value as a platform number: an integer when it is whole and fits in 64 bits, else a double.
  ns::Value numberValue() const;

  friend bool operator==(const KVDecimalNumber& a, const KVDecimalNumber& b) = default;

 private:
  KVDecimalNumber(bool negative, std::string digits, int exponent);

  // The value is (negative ? -1 : 1) * digits * 10^exponent; digits has no leading or trailing zeros and is
  // empty for zero (which is never negative).
  bool negative_ = false;
  std::string digits_;
  int exponent_ = 0;
};

}  // namespace http_client
