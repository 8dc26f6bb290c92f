#include "platform/uikit/controls/TextField.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/text/Utf16.h"
#include "platform/uikit/render/ScreenText.h"

namespace uikit {

std::string TextField::bullets(const std::string& text) {
  std::string shown;
  for (std::size_t index = 0; index < ns::utf16Length(text); ++index) {
    shown += "•";
  }
  return shown;
}

TextField::TextField(Rect frame) : Control(frame) {}

void TextField::setText(std::string text) {
  QM_DCHECK_MAIN_THREAD();
  text_ = std::move(text);
  attributedText_.reset();
}

void TextField::setAttributedText(AttributedString text) {
  QM_DCHECK_MAIN_THREAD();
  text_ = text.string();
  attributedText_ = std::move(text);
}

bool TextField::replaceTextByTyping(const std::string& text) {
  if (auto delegate = delegate_.lock();
      delegate && !delegate->textFieldShouldChangeCharactersInRange(*this, 0, ns::utf16Length(text_), text)) {
    return false;
  }
  setText(text);
  sendActionsForControlEvents(kControlEventEditingChanged);
  return true;
}

bool TextField::pressReturnKey() {
  const auto delegate = delegate_.lock();
  const bool shouldReturn = delegate ? delegate->textFieldShouldReturn(*this) : true;
  if (shouldReturn) {
    sendActionsForControlEvents(kControlEventEditingDidEndOnExit);
  }
  return shouldReturn;
}

void TextField::performTap() {
  becomeFirstResponder();
}

void TextField::didBecomeFirstResponder() {
  if (auto delegate = delegate_.lock()) {
    delegate->textFieldDidBeginEditing(*this);
  }
  sendActionsForControlEvents(kControlEventEditingDidBegin);
}

void TextField::didResignFirstResponder() {
  if (auto delegate = delegate_.lock()) {
    delegate->textFieldDidEndEditing(*this);
  }
  sendActionsForControlEvents(kControlEventEditingDidEnd);
}

std::string TextField::visibleText() const {
  if (text_.empty()) {
    return placeholder_;
  }
  return secureTextEntry_ ? bullets(text_) : text_;
}

void TextField::renderInto(ScreenText& text) const {
  const std::string content =
      text_.empty() ? (placeholder_.empty() ? "" : "(" + placeholder_ + ")") : visibleText();
  text.addLine(ScreenText::Section::kField, "field", *this, content);
  View::renderInto(text);
}

}  // namespace uikit
