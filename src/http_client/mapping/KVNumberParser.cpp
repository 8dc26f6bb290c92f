#include "http_client/mapping/KVNumberParser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace http_client {

namespace {

constexpr int kExponentLimit = 100000;

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && isBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// Moves the leading digits of `text` into the result and off `text`.
std::string takeDigits(std::string_view& text) {
  std::size_t count = 0;
  while (count < text.size() && isDigit(text[count])) {
    ++count;
  }
  std::string digits(text.substr(0, count));
  text.remove_prefix(count);
  return digits;
}

bool takeSign(std::string_view& text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
  }
  return false;
}

}  // namespace

std::optional<KVNumberText> KVNumberParser::scan(std::string_view text) {
  text = trimmed(text);
  KVNumberText number;
  number.negative = takeSign(text);
  number.integerDigits = takeDigits(text);
  if (!text.empty() && text.front() == '.') {
    text.remove_prefix(1);
    number.fractionDigits = takeDigits(text);
  }
  if (number.integerDigits.empty() && number.fractionDigits.empty()) {
    return std::nullopt;
  }
  if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
    text.remove_prefix(1);
    const bool negativeExponent = takeSign(text);
    const std::string exponentDigits = takeDigits(text);
    if (exponentDigits.empty()) {
      return std::nullopt;
    }
    int exponent = 0;
    for (char digit : exponentDigits) {
      exponent = std::min(kExponentLimit, exponent * 10 + (digit - '0'));
    }
    number.hasExponent = true;
    number.exponent = negativeExponent ? -exponent : exponent;
  }
  if (!text.empty()) {
    return std::nullopt;
  }
  return number;
}

std::optional<ns::Value> KVNumberParser::numberFromString(std::string_view text) {
  const std::optional<KVNumberText> number = scan(text);
  if (!number) {
    return std::nullopt;
  }
  const std::string sign = number->negative ? "-" : "";
  if (number->fractionDigits.empty() && !number->hasExponent) {
    std::int64_t integer = 0;
    const std::string digits = sign + number->integerDigits;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), integer);
    if (error == std::errc() && end == digits.data() + digits.size()) {
      return ns::Value(integer);
    }
  }
  const std::string plain = sign + (number->integerDigits.empty() ? "0" : number->integerDigits) + "." +
                            number->fractionDigits + "0e" + std::to_string(number->exponent);
  double real = 0;
  const std::from_chars_result read = std::from_chars(plain.data(), plain.data() + plain.size(), real);
  if (read.ec == std::errc::result_out_of_range) {
    // Too large gives the infinity of its sign and too small gives zero, as reading a double does.
    const bool huge = number->exponent > 0;
    real = huge ? (number->negative ? -HUGE_VAL : HUGE_VAL) : (number->negative ? -0.0 : 0.0);
  }
  return ns::Value(real);
}

}  // namespace http_client
