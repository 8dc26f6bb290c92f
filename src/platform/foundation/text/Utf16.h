#pragma once

// Lengths, cuts and ordering of UTF-8 text measured in UTF-16 code units, the unit in which the platform's
// strings count and compare. A character outside the Basic Multilingual Plane (an emoji, say) is one
// surrogate pair: two units. These rules matter wherever the back end or a stored file sees the result, such
// as the request sign's cut of long values and its key order.
//
// Input is expected to be valid UTF-8; each byte of an ill-formed sequence counts as one U+FFFD.
// Thread-safe: pure functions.

#include <compare>
#include <cstddef>
#include <string_view>

namespace ns {

// Returns the number of UTF-16 code units `text` takes.
std::size_t utf16Length(std::string_view text);

// Returns the longest leading part of `text` that takes at most `maxUnits` UTF-16 code units, as a view into
// `text`. A cut that would fall between the two units of a surrogate pair is moved before that character,
// so the result stays valid UTF-8 and is then one unit shorter than `maxUnits`.
std::string_view utf16Prefix(std::string_view text, std::size_t maxUnits);

// Orders two texts by their UTF-16 code units, unit by unit, a shorter text before a longer one that starts
// with it: the platform's plain compare. It differs from UTF-8 byte order only where a character of
// U+E000...U+FFFF meets one above U+FFFF (U+FF21 sorts after U+1F600 here, before it in bytes).
std::weak_ordering utf16Compare(std::string_view a, std::string_view b);

// A comparator for sorted containers and std::sort that orders keys by utf16Compare.
struct Utf16Less {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return utf16Compare(a, b) < 0; }
};

}  // namespace ns
