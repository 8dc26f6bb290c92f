#include "app/store/ServerValue.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/text/Trimming.h"

namespace app {

namespace {

bool isAbsent(const ns::Value* value) {
  return value == nullptr || value->isNull();
}

}  // namespace

std::string serverText(const ns::Value* value) {
  return serverTextOrNil(value).value_or("");
}

std::optional<std::string> serverTextOrNil(const ns::Value* value) {
  if (isAbsent(value)) {
    return std::nullopt;
  }
  return value->stringValue();
}

std::string serverValidatedText(const ns::Value* value) {
  std::string text = serverText(value);
  if (ns::trimmingWhitespaceAndNewlines(text).empty()) {
    return std::string();
  }
  return text;
}

std::optional<std::int64_t> serverIntegerOrNil(const ns::Value* value) {
  if (isAbsent(value)) {
    return std::nullopt;
  }
  return value->integerValue();
}

std::optional<double> serverNumberOrNil(const ns::Value* value, double low, double high) {
  if (isAbsent(value)) {
    return std::nullopt;
  }
  const double number = value->doubleValue();
  if (!std::isfinite(number)) {
    return std::nullopt;
  }
  return std::clamp(number, low, high);
}

}  // namespace app
