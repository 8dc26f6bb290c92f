#include "platform/uikit/controls/Slider.h"

#include <algorithm>

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/support/NumberText.h"

namespace uikit {

Slider::Slider(Rect frame) : Control(frame) {}

void Slider::setValue(float value, bool) {
  value_ = std::clamp(value, minimumValue_, std::max(minimumValue_, maximumValue_));
}

void Slider::setMinimumValue(float value) {
  QM_DCHECK_MAIN_THREAD();
  minimumValue_ = value;
  Slider::setValue(value_);
}

void Slider::setMaximumValue(float value) {
  QM_DCHECK_MAIN_THREAD();
  maximumValue_ = value;
  Slider::setValue(value_);
}

void Slider::renderInto(ScreenText& text) const {
  text.addLine(ScreenText::Section::kProgress, "slider", *this, numberText(value()));
  View::renderInto(text);
}

}  // namespace uikit
