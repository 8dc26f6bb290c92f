#pragma once

// Reading values out of back-end replies for storing. Each function takes the result of a dictionary lookup
// (ns::Value::find), so a missing key arrives as nullptr. A missing key and a JSON null both mean "no value":
// stored texts never read "(null)" or "<null>". Thread-safe: pure functions.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/foundation/values/Value.h"

namespace app {

// The value's "%@" text; empty text when there is no value.
std::string serverText(const ns::Value* value);

// The value as the reply gives it: a string as it is, any other value as its "%@" text; std::nullopt when
// there is no value.
std::optional<std::string> serverTextOrNil(const ns::Value* value);

// Never-nil text: empty when there is no value or the text holds only white space and line ends; a string
// otherwise as it is (untrimmed), any other value as its "%@" text.
std::string serverValidatedText(const ns::Value* value);

// The value read as an integer (numbers truncate, texts give their leading integer); std::nullopt when
// there is no value.
std::optional<std::int64_t> serverIntegerOrNil(const ns::Value* value);

// The value read as a number (texts give their leading number) and clamped to [low, high], so that a
// conversion to a narrower type that follows stays defined; std::nullopt when there is no value or the
// number is not finite (NaN or an infinity), which says nothing about the quantity.
// REQUIRES: low <= high.
std::optional<double> serverNumberOrNil(const ns::Value* value, double low, double high);

}  // namespace app
