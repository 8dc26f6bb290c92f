#pragma once

// uikit::AttributedString: text with fonts and colours over ranges of it. Ranges count UTF-16 code units, as
// the platform's do. A plain value; thread-safe as a value.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/uikit/drawing/TextAttributes.h"

namespace uikit {

class AttributedString {
 public:
  struct Run {
    std::size_t location = 0;  // in UTF-16 code units
    std::size_t length = 0;
    TextAttributes attributes;
    friend bool operator==(const Run&, const Run&) = default;
  };

  AttributedString() = default;
  // The whole of `text` with `attributes`.
  explicit AttributedString(std::string text, TextAttributes attributes = {});

  const std::string& string() const { return text_; }
  // The runs in the order they were added; a later run wins where runs overlap.
  const std::vector<Run>& runs() const { return runs_; }

  // Appends `other`'s text, moving its runs behind this text.
  void append(const AttributedString& other);
  // Gives the units [location, location + length) the attributes. Ranges beyond the text are cut to it.
  void addAttributes(TextAttributes attributes, std::size_t location, std::size_t length);

  friend bool operator==(const AttributedString&, const AttributedString&) = default;

 private:
  std::string text_;
  std::vector<Run> runs_;
};

}  // namespace uikit
