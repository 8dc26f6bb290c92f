#include "platform/foundation/values/TextNumbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace ns {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::size_t skipBlanks(std::string_view text, std::size_t position = 0) {
  while (position < text.size() && isBlank(text[position])) {
    ++position;
  }
  return position;
}

std::size_t skipDigits(std::string_view text, std::size_t position) {
  while (position < text.size() && isDigit(text[position])) {
    ++position;
  }
  return position;
}

// Reads decimal digits from `position` into a magnitude that stops growing at `limit`.
std::uint64_t saturatingDigits(std::string_view text, std::size_t position, std::uint64_t limit) {
  std::uint64_t magnitude = 0;
  for (; position < text.size() && isDigit(text[position]); ++position) {
    const auto digit = static_cast<std::uint64_t>(text[position] - '0');
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  return magnitude;
}

// The sign of a number whose decimal text overflowed or underflowed a double: `exponentOfFirstDigit` is the
// power of ten of the first non-zero digit, so a positive total overflows and anything else underflows.
double outOfRangeDouble(bool negative, std::int64_t exponentOfFirstDigit) {
  const double magnitude = exponentOfFirstDigit > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -magnitude : magnitude;
}

}  // namespace

std::int64_t integerValueOfText(std::string_view text) {
  std::size_t position = skipBlanks(text);
  bool negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    negative = text[position] == '-';
    ++position;
  }
  constexpr std::uint64_t kMaximum = std::numeric_limits<std::int64_t>::max();
  const std::uint64_t magnitude = saturatingDigits(text, position, kMaximum + (negative ? 1 : 0));
  // The negation happens in unsigned arithmetic so that the magnitude of INT64_MIN does not overflow.
  return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

int intValueOfText(std::string_view text) {
  const std::int64_t value = integerValueOfText(text);
  if (value > std::numeric_limits<int>::max()) {
    return std::numeric_limits<int>::max();
  }
  if (value < std::numeric_limits<int>::min()) {
    return std::numeric_limits<int>::min();
  }
  return static_cast<int>(value);
}

double doubleValueOfText(std::string_view text) {
  const std::size_t start = skipBlanks(text);
  std::size_t position = start;
  bool negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    negative = text[position] == '-';
    ++position;
  }
  const std::size_t mantissaStart = position;
  const std::size_t integerEnd = skipDigits(text, position);
  std::size_t mantissaEnd = integerEnd;
  if (mantissaEnd < text.size() && text[mantissaEnd] == '.') {
    mantissaEnd = skipDigits(text, mantissaEnd + 1);
  }
  const std::size_t digitCount = mantissaEnd - mantissaStart - (mantissaEnd > integerEnd ? 1 : 0);
  if (digitCount == 0) {
    return 0.0;
  }
  // An exponent counts only when digits follow the "e" and its optional sign.
  std::size_t end = mantissaEnd;
  std::int64_t exponent = 0;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t exponentDigits = end + 1;
    const bool negativeExponent = exponentDigits < text.size() && text[exponentDigits] == '-';
    if (exponentDigits < text.size() && (text[exponentDigits] == '+' || text[exponentDigits] == '-')) {
      ++exponentDigits;
    }
    if (exponentDigits < text.size() && isDigit(text[exponentDigits])) {
      constexpr std::uint64_t kExponentLimit = 1'000'000'000;
      const auto magnitude =
          static_cast<std::int64_t>(saturatingDigits(text, exponentDigits, kExponentLimit));
      exponent = negativeExponent ? -magnitude : magnitude;
      end = skipDigits(text, exponentDigits);
    }
  }
  double value = 0.0;
  const auto result = std::from_chars(text.data() + mantissaStart, text.data() + end, value);
  if (result.ec == std::errc::result_out_of_range) {
    const std::size_t firstNonZero = text.find_first_not_of("0.", mantissaStart);
    const auto firstDigitPower = firstNonZero < integerEnd
                                     ? static_cast<std::int64_t>(integerEnd - firstNonZero)
                                     : -static_cast<std::int64_t>(firstNonZero - integerEnd - 1);
    return outOfRangeDouble(negative, firstDigitPower + exponent);
  }
  return negative ? -value : value;
}

bool boolValueOfText(std::string_view text) {
  std::size_t position = skipBlanks(text);
  while (position < text.size() &&
         (text[position] == '+' || text[position] == '-' || text[position] == '0')) {
    ++position;
  }
  if (position == text.size()) {
    return false;
  }
  const char c = text[position];
  return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

std::string textOfDouble(double number) {
  char buffer[64];
  const auto scientific =
      std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::scientific);
  const std::string_view text(buffer, static_cast<std::size_t>(scientific.ptr - buffer));
  const std::size_t exponentMark = text.find('e');
  if (exponentMark == std::string_view::npos) {
    return std::string(text);  // inf or nan
  }
  const int exponent = static_cast<int>(integerValueOfText(text.substr(exponentMark + 1)));
  if (exponent < -4 || exponent > 16) {
    return std::string(text);
  }
  const auto plain = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed);
  return std::string(buffer, plain.ptr);
}

}  // namespace ns
