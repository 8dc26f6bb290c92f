#pragma once

// ns::RegularExpression: a compiled regular expression in the platform's syntax, with Unicode classes
// (\w, \d and \s match letters, digits and spaces of every script; \uhhhh names a code unit) and the
// platform's two uses: testing whether a whole text matches, and listing every match in a text. Matches
// are reported as byte ranges of the UTF-8 text searched.
//
// Thread-safe: an expression is immutable once made, and copies share the compiled form.

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/foundation/values/Result.h"

namespace ns {

class RegularExpression {
 public:
  enum class CaseSensitivity { kSensitive, kInsensitive };

  // A match: `length` bytes of the searched text starting at byte `offset`.
  struct Range {
    std::size_t offset = 0;
    std::size_t length = 0;
    friend bool operator==(const Range&, const Range&) = default;
  };

  // Returns the compiled expression, or an error of domain "NSCocoaErrorDomain", code 2048, whose user
  // info holds the pattern under "NSInvalidValue", when `pattern` does not parse.
  static Result<RegularExpression> make(std::string_view pattern,
                                        CaseSensitivity caseSensitivity = CaseSensitivity::kSensitive);

  // Returns true when the expression matches all of `text`, from its first character to its last, as if
  // anchored at both ends.
  bool matchesEntireText(std::string_view text) const;

  // Returns every match in `text`, in order, each search starting where the previous match ended. An empty
  // match is listed and the search then moves on by one character.
  std::vector<Range> matchesInText(std::string_view text) const;

 private:
  class Compiled;
  explicit RegularExpression(std::shared_ptr<const Compiled> compiled);

  // Constant after construction
  std::shared_ptr<const Compiled> compiled_;
};

}  // namespace ns
