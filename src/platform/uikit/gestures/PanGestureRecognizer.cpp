#include "platform/uikit/gestures/PanGestureRecognizer.h"

namespace uikit {

void PanGestureRecognizer::simulatePan(GestureState state, Point translation, Point velocity,
                                       Point location) {
  if (!isEnabled()) {
    return;
  }
  translation_ = translation;
  velocity_ = velocity;
  recognize(state, location);
}

}  // namespace uikit
