#pragma once

// Decoding of an application/x-www-form-urlencoded body, as the client's form serialiser writes it: pairs
// joined by "&", key and value split at the first "=", "+" read as a space and "%hh" as the byte hh.
// Thread-safe: a pure function.

#include <map>
#include <string>
#include <string_view>

namespace sample_backend::api {

// Returns the decoded pairs of `body`; a repeated key keeps its last value, a pair without "=" has an empty
// value, and a "%" not followed by two hexadecimal digits stays as it is.
std::map<std::string, std::string, std::less<>> decodeFormBody(std::string_view body);

}  // namespace sample_backend::api
