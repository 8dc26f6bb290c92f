#include "platform/uikit/controls/Switch.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/ScreenText.h"

namespace uikit {

// The platform's switch has a fixed size.
Switch::Switch(Rect frame) : Control(Rect(frame.origin, Size{51, 31})) {}

void Switch::setOn(bool on, bool) {
  QM_DCHECK_MAIN_THREAD();
  on_ = on;
}

void Switch::performTap() {
  on_ = !on_;
  sendActionsForControlEvents(kControlEventValueChanged);
}

void Switch::renderInto(ScreenText& text) const {
  text.addLine(ScreenText::Section::kSwitch, "switch", *this, on_ ? "on" : "off");
  View::renderInto(text);
}

}  // namespace uikit
