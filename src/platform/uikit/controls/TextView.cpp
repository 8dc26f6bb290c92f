#include "platform/uikit/controls/TextView.h"

#include "platform/foundation/text/Utf16.h"
#include "platform/uikit/render/ScreenText.h"

namespace uikit {

TextView::TextView(Rect frame) : ScrollView(frame) {}

bool TextView::typeReplacingTail(std::size_t location, const std::string& replacement) {
  const std::size_t length = ns::utf16Length(text_) - location;
  if (auto delegate = delegate_.lock();
      delegate && !delegate->textViewShouldChangeTextInRange(*this, location, length, replacement)) {
    return false;
  }
  const std::size_t keptBytes = ns::utf16Prefix(text_, location).size();
  text_ = text_.substr(0, keptBytes) + replacement;
  if (auto delegate = delegate_.lock()) {
    delegate->textViewDidChange(*this);
  }
  return true;
}

bool TextView::replaceTextByTyping(const std::string& text) {
  return typeReplacingTail(0, text);
}

bool TextView::pressReturnKey() {
  return typeReplacingTail(ns::utf16Length(text_), "\n");
}

void TextView::didBecomeFirstResponder() {
  if (auto delegate = delegate_.lock()) {
    delegate->textViewDidBeginEditing(*this);
  }
}

void TextView::didResignFirstResponder() {
  if (auto delegate = delegate_.lock()) {
    delegate->textViewDidEndEditing(*this);
  }
}

void TextView::renderInto(ScreenText& text) const {
  text.addLine(ScreenText::Section::kField, "field", *this, text_);
  View::renderInto(text);
}

}  // namespace uikit
