#pragma once

// uikit::TapGestureRecognizer: recognises taps. simulateTap() fires one, as a finger's tap does.
// Thread-safety: main thread only, like every class of uikit.

#include "platform/uikit/gestures/GestureRecognizer.h"

namespace uikit {

class TapGestureRecognizer : public GestureRecognizer {
 public:
  int numberOfTapsRequired() const { return numberOfTapsRequired_; }
  void setNumberOfTapsRequired(int taps) { numberOfTapsRequired_ = taps; }

  // Recognises a tap at `location` in the view: state kRecognized, then the actions.
  void simulateTap(Point location) { recognize(GestureState::kRecognized, location); }

 private:
  int numberOfTapsRequired_ = 1;
};

}  // namespace uikit
