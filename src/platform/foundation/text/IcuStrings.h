#pragma once

// Conversions between the UTF-8 text of this code base and ICU's UTF-16 strings, shared by the text
// helpers that work through ICU. Internal to platform/foundation/text.
// Thread-safe: pure functions.

#include <unicode/stringpiece.h>
#include <unicode/unistr.h>

#include <string>
#include <string_view>

namespace ns {

// REQUIRES: text.size() < 2^31, ICU's limit for one string.
inline icu::StringPiece icuStringPiece(std::string_view text) {
  return icu::StringPiece(text.data(), static_cast<int32_t>(text.size()));
}

// Returns `text` as UTF-16; ill-formed UTF-8 bytes become U+FFFD.
inline icu::UnicodeString icuStringFromUtf8(std::string_view text) {
  return icu::UnicodeString::fromUTF8(icuStringPiece(text));
}

// Returns `text` as UTF-8; unpaired surrogates become U+FFFD.
inline std::string utf8FromIcuString(const icu::UnicodeString& text) {
  std::string result;
  return text.toUTF8String(result);
}

}  // namespace ns
