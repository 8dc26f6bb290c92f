#include "app/helpers/TRValidate.h"

#include <array>

#include "app/store/ServerValue.h"
#include "platform/foundation/text/CaseMapping.h"
#include "platform/foundation/text/RegularExpression.h"

namespace app {

namespace {

// Returns whether all of `text` matches `pattern`. The patterns are constants of this file, so one that
// does not compile is a programming error, and it matches nothing.
bool matchesWhole(std::string_view pattern, std::string_view text) {
  ns::Result<ns::RegularExpression> expression = ns::RegularExpression::make(pattern);
  return expression.ok() && expression->matchesEntireText(text);
}

constexpr std::size_t kIdentityCardLength = 18;
constexpr std::array<int, 17> kIdentityCardWeights = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
constexpr std::array<const char*, 11> kIdentityCardCheckCharacters = {"1", "0", "X", "9", "8", "7",
                                                                      "6", "5", "4", "3", "2"};

}  // namespace

bool TRValidate::validateMobile(std::string_view text) {
  return matchesWhole(R"(^((13[0-9])|(17[0-9])|(15[^4,\D])|(18[0-9]))\d{8}$)", text);
}

bool TRValidate::validateEmail(std::string_view text) {
  return matchesWhole(R"([A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\.[A-Za-z]{2,4})", text);
}

bool TRValidate::validateBlankString(const ns::Value* value) {
  return validateString(value).empty();
}

bool TRValidate::validateRealName(std::string_view text) {
  return matchesWhole("^[a-zA-Z]{2,20}", text) ||
         matchesWhole(R"(^[\u4E00-\u9FA5\uF900-\uFA2D]{2,20})", text);
}

bool TRValidate::validateIdentityCardNo(std::string_view text) {
  // Every valid number is ASCII, so counting bytes counts its characters.
  if (text.size() != kIdentityCardLength) {
    return false;
  }
  int sum = 0;
  for (std::size_t i = 0; i < kIdentityCardWeights.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') {
      return false;
    }
    sum += (text[i] - '0') * kIdentityCardWeights[i];
  }
  return ns::uppercased(text.substr(17)) == kIdentityCardCheckCharacters[sum % 11];
}

std::string TRValidate::validateString(const ns::Value* value) {
  return serverValidatedText(value);
}

bool TRValidate::validateUserName(std::string_view text) {
  return matchesWhole(R"(^[0-9a-zA-Z\u4E00-\u9FA5\uF900-\uFA2D]\w{2,16}$)", text);
}

bool TRValidate::validatePassword(std::string_view text) {
  return matchesWhole("^[a-zA-Z0-9]{6,16}+$", text);
}

}  // namespace app
