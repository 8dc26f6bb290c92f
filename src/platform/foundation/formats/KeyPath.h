#pragma once

// Names the place of a member inside nested arrays and dictionaries for error texts, as in
// ["obj"]["list"][3]. Writers build the path from the inside out while their recursion unwinds, so a
// success costs nothing. Thread-safe: pure functions.

#include <cstddef>
#include <string>
#include <string_view>

namespace ns {

// Puts ["key"] or [index] in front of `path`.
void prependKey(std::string& path, std::string_view key);
void prependIndex(std::string& path, std::size_t index);

// Returns `what`, followed by " at <path>" when `path` is not empty (a failure at the top level).
std::string failureText(std::string_view what, std::string_view path);

}  // namespace ns
