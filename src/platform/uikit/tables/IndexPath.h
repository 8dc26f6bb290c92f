#pragma once

// uikit::IndexPath: a row of a table, by section and row. A plain value; thread-safe as a value.

#include <compare>
#include <cstdint>
#include <string>

namespace uikit {

struct IndexPath {
  std::int64_t section = 0;
  std::int64_t row = 0;

  friend auto operator<=>(const IndexPath&, const IndexPath&) = default;
};

// "section.row", for messages and the screen text.
inline std::string describe(const IndexPath& path) {
  return std::to_string(path.section) + "." + std::to_string(path.row);
}

}  // namespace uikit
