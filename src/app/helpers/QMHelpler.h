#pragma once

// QMHelpler: colours from hex texts, and the region text of a learner's region ids.
// Thread-safety: colorWithHexString() anywhere; userAddressString() reads the main bundle, on any thread.

#include <optional>
#include <string>
#include <string_view>

#include "platform/uikit/drawing/Color.h"

namespace app {

class QMHelpler {
 public:
  // Returns the opaque colour of six hexadecimal digits, written bare, after "#", or after "0x" / "0X",
  // with white space and line ends around them allowed. Any other text gives the clear colour; a pair that
  // is not hexadecimal reads as 0.
  static uikit::Color colorWithHexString(std::string_view text);

  // Returns "<province> <city>" for a text "<province id>,...,<city id>", looked up in the bundle's
  // property list "citys" (provinces with "id", "name" and "sub", the list of their cities with "id" and
  // "name"; ids compare as integers). Returns std::nullopt for an empty text, or when the list, the
  // province or the city is missing.
  static std::optional<std::string> userAddressString(std::string_view text);
};

}  // namespace app
