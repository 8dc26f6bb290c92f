#pragma once

// The checks that a binary property list must pass before libplist reads it, for documents that would
// otherwise bring the process down or be read wrong:
// - libplist aborts the process (a failed assertion) when asked for a dictionary key whose UTF-16 text holds
//   U+0000, and silently cuts an ASCII string short at a NUL byte;
// - libplist builds nested arrays and dictionaries by recursion, and a document a megabyte long can nest
//   deep enough to overflow the stack.
// Thread-safe: pure functions.

#include <cstdint>
#include <span>

namespace ns {

// Returns true when a string object (ASCII or UTF-16) listed in the offset table of the binary property list
// `document` holds a NUL character, or has a count that cannot be read (it is then taken to run to the end
// of the document). Returns false for a document whose offset table libplist refuses by itself.
bool binaryPropertyListHoldsNulInAString(std::span<const std::uint8_t> document);

// Returns true when, from the top object of the binary property list `document`, more than `levels` values
// stand one inside the other (the top object is the first level), when an array, set or dictionary holds
// itself, or when the element count of one cannot be read. Returns false for a document whose offset table
// libplist refuses by itself.
bool binaryPropertyListNestsDeeperThan(std::span<const std::uint8_t> document, std::uint64_t levels);

}  // namespace ns
