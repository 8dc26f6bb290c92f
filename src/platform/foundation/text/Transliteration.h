#pragma once

// Transliteration of UTF-8 text by a transform identifier in the platform's syntax, for example
// "Any-Latin; Latin-ASCII; [:^ASCII:] Remove" (any script to Latin letters, then to ASCII, then every
// character still outside ASCII removed).
// Thread-safe: pure function.

#include <optional>
#include <string>
#include <string_view>

namespace ns {

// Returns `text` run through the transform named by `transformId`, or std::nullopt when the identifier
// names no transform the platform knows or does not parse.
std::optional<std::string> transliterate(std::string_view text, std::string_view transformId);

}  // namespace ns
