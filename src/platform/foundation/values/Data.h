#pragma once

// Raw bytes: the platform's data object. Bodies, digests, keys, archives and segments are all Data.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ns {

using Data = std::vector<std::uint8_t>;

// Returns the bytes of `text` unchanged (UTF-8 text stays UTF-8).
inline Data dataFromString(std::string_view text) {
  return Data(text.begin(), text.end());
}

// Returns the bytes as a std::string, unchanged and unchecked.
inline std::string stringFromData(const Data& data) {
  return std::string(data.begin(), data.end());
}

}  // namespace ns
