#pragma once

// TRValidate: checks of what a learner types, and the never-missing text of a reply value. A pattern check
// answers whether the whole text matches.
// Thread-safe: pure functions.

#include <string>
#include <string_view>

#include "platform/foundation/values/Value.h"

namespace app {

class TRValidate {
 public:
  // A mainland mobile number: 13x, 15x (not 154), 17x or 18x, then eight digits.
  static bool validateMobile(std::string_view text);
  static bool validateEmail(std::string_view text);
  // True for no value (nullptr), a null, or a value whose text is empty after trimming white space and line
  // ends.
  static bool validateBlankString(const ns::Value* value);
  // Two to twenty Latin letters, or two to twenty CJK ideographs.
  static bool validateRealName(std::string_view text);
  // An 18-character identity-card number: seventeen decimal digits and the ISO 7064 MOD 11-2 check
  // character ("X" also written "x").
  static bool validateIdentityCardNo(std::string_view text);
  // Returns text, never missing: empty for no value, a null or a blank text; a string as it is (untrimmed),
  // any other value as its "%@" text.
  static std::string validateString(const ns::Value* value);
  static bool validateUserName(std::string_view text);
  // Six to sixteen ASCII letters and digits.
  static bool validatePassword(std::string_view text);
};

}  // namespace app
