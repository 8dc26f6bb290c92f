#include "app/store/ServerValue.h"

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

}  // namespace app
