#pragma once

// KVNumberParser: the one reader of numbers written as text that the mapping uses for every string given
// for a number property. It reads one fixed grammar whatever the process's locale, so that a reply maps the
// same on every machine: optional blanks, an optional sign, decimal digits with an optional fraction after
// ".", an optional exponent, optional blanks, and nothing else ("12", "-3", "12.5", ".5", "1e3"). Grouping
// separators and "," as a decimal point are not numbers.
//
// Thread-safety: pure functions.

#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Value.h"

namespace http_client {

// The parts of a number text that the grammar above accepts.
struct KVNumberText {
  bool negative = false;
  // The digits before and after the decimal point, either possibly empty but not both.
  std::string integerDigits;
  std::string fractionDigits;
  bool hasExponent = false;
  // Clamped to +-100000, far beyond every range that a number can hold.
  int exponent = 0;
};

class KVNumberParser {
 public:
  // Returns the parts of `text`, or std::nullopt when `text` does not follow the grammar.
  static std::optional<KVNumberText> scan(std::string_view text);

  // Returns the number that `text` spells: an integer when it has neither fraction nor exponent and fits in
  // 64 bits, else a double. Returns std::nullopt when `text` does not follow the grammar.
  static std::optional<ns::Value> numberFromString(std::string_view text);
};

}  // namespace http_client
