#include "http_client/mapping/KVDecimalNumber.h"

#include <charconv>

#include "http_client/mapping/KVNumberParser.h"
#include "platform/foundation/values/TextNumbers.h"

namespace http_client {

KVDecimalNumber::KVDecimalNumber(bool negative, std::string digits, int exponent) : exponent_(exponent) {
  const std::size_t firstSignificant = digits.find_first_not_of('0');
  if (firstSignificant == std::string::npos) {
    return;
  }
  digits.erase(0, firstSignificant);
  if (digits.size() > kMaximumDigits) {
    exponent_ += static_cast<int>(digits.size() - kMaximumDigits);
    digits.resize(kMaximumDigits);
  }
  const std::size_t lastSignificant = digits.find_last_not_of('0');
  exponent_ += static_cast<int>(digits.size() - lastSignificant - 1);
  digits.resize(lastSignificant + 1);
  negative_ = negative;
  digits_ = std::move(digits);
}

std::optional<KVDecimalNumber> KVDecimalNumber::fromString(std::string_view text) {
  const std::optional<KVNumberText> number = KVNumberParser::scan(text);
  if (!number) {
    return std::nullopt;
  }
  KVDecimalNumber decimal(number->negative, number->integerDigits + number->fractionDigits,
                          number->exponent - static_cast<int>(number->fractionDigits.size()));
  if (decimal.exponent_ < kMinimumExponent || decimal.exponent_ > kMaximumExponent) {
    return std::nullopt;
  }
  return decimal;
}

std::optional<KVDecimalNumber> KVDecimalNumber::fromNumber(const ns::Value& number) {
  if (number.isBool()) {
    return KVDecimalNumber(false, number.asBool() ? "1" : "", 0);
  }
  if (number.isInteger()) {
    return fromString(std::to_string(number.asInteger()));
  }
  if (number.isDouble()) {
    return fromString(ns::textOfDouble(number.asDouble()));
  }
  return std::nullopt;
}

std::string KVDecimalNumber::description() const {
  if (digits_.empty()) {
    return "0";
  }
  std::string text = negative_ ? "-" : "";
  if (exponent_ >= 0) {
    return text + digits_ + std::string(static_cast<std::size_t>(exponent_), '0');
  }
  const std::size_t fractionLength = static_cast<std::size_t>(-exponent_);
  if (fractionLength >= digits_.size()) {
    return text + "0." + std::string(fractionLength - digits_.size(), '0') + digits_;
  }
  const std::size_t integerLength = digits_.size() - fractionLength;
  return text + digits_.substr(0, integerLength) + "." + digits_.substr(integerLength);
}

double KVDecimalNumber::doubleValue() const {
  return KVNumberParser::numberFromString((negative_ ? "-" : "") + (digits_.empty() ? "0" : digits_) + "e" +
                                          std::to_string(exponent_))
      ->doubleValue();
}

ns::Value KVDecimalNumber::numberValue() const {
  if (exponent_ >= 0 && digits_.size() + static_cast<std::size_t>(exponent_) <= 19) {
    const std::optional<ns::Value> whole = KVNumberParser::numberFromString(description());
    if (whole && whole->isInteger()) {
      return *whole;
    }
  }
  return ns::Value(doubleValue());
}

}  // namespace http_client
