#include "platform/uikit/drawing/AttributedString.h"

#include <algorithm>

#include "platform/foundation/text/Utf16.h"

namespace uikit {

AttributedString::AttributedString(std::string text, TextAttributes attributes) : text_(std::move(text)) {
  addAttributes(std::move(attributes), 0, ns::utf16Length(text_));
}

void AttributedString::append(const AttributedString& other) {
  const std::size_t offset = ns::utf16Length(text_);
  text_ += other.text_;
  for (Run run : other.runs_) {
    run.location += offset;
    runs_.push_back(std::move(run));
  }
}

void AttributedString::addAttributes(TextAttributes attributes, std::size_t location, std::size_t length) {
  const std::size_t textLength = ns::utf16Length(text_);
  if (location >= textLength || length == 0) {
    return;
  }
  runs_.push_back(Run{location, std::min(length, textLength - location), std::move(attributes)});
}

}  // namespace uikit
