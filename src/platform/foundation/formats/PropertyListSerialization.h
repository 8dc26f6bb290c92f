#pragma once

// PropertyListSerialization converts between property-list documents (XML or binary) and ns::Value, as the
// platform's property-list reader and writer do. Used for user defaults, pasteboards and the bundle's
// property lists.
//
// Mapping, both ways: strings, integers (signed 64-bit), reals (doubles), booleans, dates, data, arrays
// and dictionaries map to the Value kinds of the same names. A keyed archive's object reference (a UID)
// reads as the dictionary {"CF$UID": n}, the form XML gives it, and such a one-entry dictionary is written
// back as a UID. Null has no property-list form. XML dates hold whole seconds only; binary dates keep
// their fraction.
//
// Errors use the domain kCocoaErrorDomain (values/Error.h): kPropertyListReadCorruptError (3840) for bytes
// that are not a property list (or nest deeper than 512 levels); kPropertyListWriteInvalidError (3852) for
// values that a property list cannot hold, the localized description naming the value's key path.
//
// Thread-safe: static functions without shared state.

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "platform/foundation/values/Value.h"

namespace ns {

enum class PropertyListFormat { kXml, kBinary };

class PropertyListSerialization {
 public:
  // Returns the value of the property list in `data`, XML or binary (told apart by the binary header).
  // Any kind of value may stand at the top level. Returns error 3840 when `data` is not a well-formed
  // property list, and for a binary one with a NUL character in a string (BinaryPropertyListChecks.h).
  static Result<Value> propertyListWithData(const Data& data);

  // Returns `value` written as a property-list document in `format`. Returns error 3852, writing nothing,
  // when `value` is or holds a null, a set, a date outside 1932-12-13 20:45:52 to 2069-01-19 03:14:07 GMT
  // (2001 plus or minus 2^31 seconds, the range of libplist's dates), or a string or key that holds a NUL
  // character or is not well-formed UTF-8.
  static Result<Data> dataWithPropertyList(const Value& value, PropertyListFormat format);
};

}  // namespace ns
