#pragma once

// uikit::PanGestureRecognizer: recognises a finger moving over the view, with its translation since the start
// (which the action may reset) and its velocity. simulatePan() fires one event of a pan.
// Thread-safety: main thread only, like every class of uikit.

#include "platform/uikit/gestures/GestureRecognizer.h"

namespace uikit {

class PanGestureRecognizer : public GestureRecognizer {
 public:
  // The distance moved, in `view`'s coordinates (translations do not depend on the origin).
  Point translationInView(const View* /*view*/) const { return translation_; }
  void setTranslation(Point translation, const View* /*view*/) { translation_ = translation; }
  // Points per second.
  Point velocityInView(const View* /*view*/) const { return velocity_; }

  // One event of a pan: sets the state, the translation, the velocity and the location (in the view), then
  // sends the actions.
  void simulatePan(GestureState state, Point translation, Point velocity, Point location);

 private:
  Point translation_;
  Point velocity_;
};

}  // namespace uikit
