#pragma once

// Reading the leading number of a text, the way the platform's strings answer intValue, integerValue,
// doubleValue and boolValue. Thread-safe: pure functions.

#include <cstdint>
#include <string>
#include <string_view>

namespace ns {

// Skips leading blanks (spaces, tabs, newlines), then reads an optional sign and decimal digits; stops at the
// first other character. Returns 0 when no digit follows. Out-of-range values clamp to the type's limits.
int intValueOfText(std::string_view text);
std::int64_t integerValueOfText(std::string_view text);

// Skips leading blanks, then reads the longest leading decimal floating-point number ("12.5", "-3e2", ".5").
// Returns 0 when there is none. Never reads hexadecimal, "inf" or "nan".
double doubleValueOfText(std::string_view text);

// Skips leading blanks, then any signs and leading zeros; returns true when the next character is one of
// Y, y, T, t or a digit 1 to 9, else false.
bool boolValueOfText(std::string_view text);

// Returns the text the platform prints for a double: the fewest digits that read back as the same number,
// laid out plainly for decimal exponents -4 to 16 ("12.5", "1700000000") and in scientific form otherwise
// ("1e+20", "-2.5e-07"); "inf", "-inf" and "nan" for the values that are not finite.
std::string textOfDouble(double number);

}  // namespace ns
