#include "platform/uikit/gestures/GestureRecognizer.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/views/View.h"

namespace uikit {

Point GestureRecognizer::locationInView(const View* view) const {
  return view_ == nullptr ? location_ : view_->convertPointToView(location_, view);
}

void GestureRecognizer::recognize(GestureState state, Point location) {
  QM_DCHECK_MAIN_THREAD();
  if (!enabled_) {
    return;
  }
  state_ = state;
  location_ = location;
  actions_.send(*this, kAction);
}

}  // namespace uikit
