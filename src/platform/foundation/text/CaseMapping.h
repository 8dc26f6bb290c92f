#pragma once

// Upper- and lower-casing of UTF-8 text by the Unicode rules of no particular language, as the platform's
// uppercaseString and lowercaseString do: "ß" upper-cases to "SS", and the result may differ in length.
// Thread-safe: pure functions.

#include <string>
#include <string_view>

namespace ns {

// Returns `text` with every character upper-cased. Ill-formed UTF-8 bytes pass through unchanged.
std::string uppercased(std::string_view text);

// Returns `text` with every character lower-cased. Ill-formed UTF-8 bytes pass through unchanged.
std::string lowercased(std::string_view text);

}  // namespace ns
