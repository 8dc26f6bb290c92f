#pragma once

// Text operations of the mapping: name conversions between camel case and underscores, first-letter case,
// whole-integer texts, and URLs made from texts that may hold characters a URL must escape. The case
// operations change ASCII letters only.
//
// Thread-safety: pure functions.

#include <optional>
#include <string>
#include <string_view>

#include "platform/net/URL.h"

namespace http_client {

// "userName" gives "user_name", "ID" gives "_i_d"; empty text stays empty.
std::string kv_underlineFromCamel(std::string_view text);
// "user_name" gives "userName", "a__b" gives "aB", "_id" gives "Id"; empty text stays empty.
std::string kv_camelFromUnderline(std::string_view text);
// The first character lower- or upper-cased, the rest unchanged.
std::string kv_firstCharLower(std::string_view text);
std::string kv_firstCharUpper(std::string_view text);
// True when the whole text is one integer: blanks, an optional sign, decimal digits, blanks.
bool kv_isPureInt(std::string_view text);
// Returns the URL of `text` after every character that may not stand in a URL is percent-escaped as UTF-8
// (letters, digits and "!$&'()*+,-./:;=?@_~%#[]" stay as they are), or std::nullopt when the result is still
// not a URL (a "%" without two hexadecimal digits after it).
std::optional<ns::URL> kv_url(std::string_view text);

}  // namespace http_client
