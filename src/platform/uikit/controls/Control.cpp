#include "platform/uikit/controls/Control.h"

#include "platform/foundation/check/Check.h"

namespace uikit {

Control::Control(Rect frame) : View(frame) {}

ControlState Control::state() const {
  ControlState state = kControlStateNormal;
  if (!enabled_) {
    state |= kControlStateDisabled;
  }
  if (selected_) {
    state |= kControlStateSelected;
  }
  if (highlighted_) {
    state |= kControlStateHighlighted;
  }
  return state;
}

void Control::performTap() {
  QM_DCHECK_MAIN_THREAD();
  sendActionsForControlEvents(kControlEventTouchDown);
  sendActionsForControlEvents(kControlEventTouchUpInside);
}

}  // namespace uikit
