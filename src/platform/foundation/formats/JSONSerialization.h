#pragma once

// JSONSerialization converts between JSON text and ns::Value, as the platform's JSON reader and writer do.
//
// Reading maps JSON null to a null Value, true and false to booleans (kept apart from numbers), numbers
// without fraction or exponent to integers (an unsigned one above the signed 64-bit range to a double) and
// all other numbers to doubles; when an object repeats a key, the last member wins. Writing gives compact
// or pretty-printed text; see JSONWriter.h for the number and key forms.
//
// Errors use the domain kCocoaErrorDomain (values/Error.h): kPropertyListReadCorruptError (3840) for bytes
// that are not a JSON text whose top level is an array or an object (invalid UTF-8, syntax errors and
// nesting deeper than 512 levels included), its localized description saying what is wrong and, for syntax
// errors, at which line and column; kPropertyListWriteInvalidError (3852) for values that JSON cannot hold
// (where the platform's writer would raise an exception instead), its description naming the value's key
// path.
//
// Thread-safe: static functions without shared state.

#include <string_view>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "platform/foundation/values/Value.h"

namespace ns {

// The platform's reading options, as bits of the number callers keep. The others (mutable containers and
// leaves) change nothing here, where every value is a copy of its own.
inline constexpr unsigned kJSONReadingFragmentsAllowed = 4;  // a lone scalar may stand at the top level
// The platform's writing options, as bits of the number callers keep. Keys are always sorted.
inline constexpr unsigned kJSONWritingPrettyPrinted = 1;  // a line per member, indented two spaces a level

class JSONSerialization {
 public:
  // Returns the array or dictionary that the UTF-8 JSON text in `data` (or `text`) describes; a UTF-8
  // byte-order mark is skipped. Returns error 3840 for anything else, empty input included, and for a lone
  // scalar ("5", "\"text\"", "null") unless `options` has kJSONReadingFragmentsAllowed.
  static Result<Value> JSONObjectWithData(const Data& data, unsigned options = 0);
  static Result<Value> JSONObjectWithData(std::string_view text, unsigned options = 0);

  // Returns the UTF-8 JSON text of `object`, compact unless `options` has kJSONWritingPrettyPrinted.
  // Returns error 3852 when `object` is not an array or a dictionary, or when it holds data, a date, a set,
  // an infinite or NaN double, or a string that is not well-formed UTF-8.
  static Result<Data> dataWithJSONObject(const Value& object, unsigned options = 0);
};

}  // namespace ns
