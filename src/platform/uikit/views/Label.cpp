#include "platform/uikit/views/Label.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/support/TextMeasure.h"

namespace uikit {

Label::Label(Rect frame) : View(frame) {
  setUserInteractionEnabled(false);
}

void Label::setText(std::string text) {
  QM_DCHECK_MAIN_THREAD();
  text_ = std::move(text);
  attributedText_.reset();
}

void Label::setAttributedText(AttributedString text) {
  QM_DCHECK_MAIN_THREAD();
  text_ = text.string();
  attributedText_ = std::move(text);
}

Size Label::sizeThatFits(Size) const {
  return estimatedTextSize(text_, font_);
}

void Label::renderInto(ScreenText& text) const {
  if (!text_.empty()) {
    text.addLine(ScreenText::Section::kLabel, "label", *this, text_);
  }
  View::renderInto(text);
}

}  // namespace uikit
