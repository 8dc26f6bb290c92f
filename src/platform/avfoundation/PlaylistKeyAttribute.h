#pragma once

// The attribute list of an index playlist's key line ("#EXT-X-KEY:METHOD=AES-128,URI=\"k.bin\",IV=0x..."),
// read without copying, so that a rewriter can replace a value where it stands. Thread-safe: pure functions.

#include <string>
#include <string_view>
#include <vector>

namespace av {

// One NAME=VALUE entry. A quoted value keeps its double quotes here; both views point into the line.
struct PlaylistKeyAttribute {
  std::string_view name;
  std::string_view value;
};

// Returns the entries of `keyLine` (which starts with "#EXT-X-KEY:") in order; reading stops at a part
// without "=".
std::vector<PlaylistKeyAttribute> playlistKeyAttributes(std::string_view keyLine);

// Returns `value` without its surrounding double quotes, or as it is when it is not quoted.
std::string unquotedAttributeValue(std::string_view value);

}  // namespace av
