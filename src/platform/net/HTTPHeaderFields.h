#pragma once

// HTTP header fields, and the text helpers for reading them: names compare without regard to ASCII case, as
// HTTP defines them, while the spelling of the first writer is kept. Thread-safe as a value.

#include <map>
#include <string>
#include <string_view>

namespace ns {

// Orders ASCII text without regard to case; usable for heterogeneous lookup with std::string_view.
struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

// Returns true when `a` and `b` are equal without regard to ASCII case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// Returns `text` without the spaces and tabs (and line ends) around it, as a view into `text`.
std::string_view trimHTTPWhitespace(std::string_view text);

// Returns `text` with ASCII capitals made small; other bytes stay as they are.
std::string lowercaseASCII(std::string_view text);

// Header name to value. Assigning through operator[] to a name already present under another spelling
// replaces the value and keeps the stored spelling.
using HTTPHeaderFields = std::map<std::string, std::string, CaseInsensitiveLess>;

}  // namespace ns
