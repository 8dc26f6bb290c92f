#include "platform/uikit/gestures/PanGestureRecognizer.h"

#include "platform/foundation/check/Check.h"

namespace uikit {

void PanGestureRecognizer::simulatePan(GestureState state, Point translation, Point velocity,
                                       Point location) {
  QM_DCHECK_MAIN_THREAD();
  if (!isEnabled()) {
    return;
  }
  translation_ = translation;
  velocity_ = velocity;
  recognize(state, location);
}

}  // namespace uikit
