#pragma once

// uikit::SwipeGestureRecognizer: recognises a swipe in one of its directions. simulateSwipe() fires one.
// Thread-safety: main thread only, like every class of uikit.

#include <cstdint>

#include "platform/uikit/gestures/GestureRecognizer.h"

namespace uikit {

// Directions, a bit set with the platform's numbering.
using SwipeDirection = std::uint32_t;
inline constexpr SwipeDirection kSwipeDirectionRight = 1u << 0;
inline constexpr SwipeDirection kSwipeDirectionLeft = 1u << 1;
inline constexpr SwipeDirection kSwipeDirectionUp = 1u << 2;
inline constexpr SwipeDirection kSwipeDirectionDown = 1u << 3;

class SwipeGestureRecognizer : public GestureRecognizer {
 public:
  SwipeDirection direction() const { return direction_; }
  void setDirection(SwipeDirection direction) { direction_ = direction; }

  // Recognises a swipe that starts at `location` in the view.
  void simulateSwipe(Point location) { recognize(GestureState::kRecognized, location); }

 private:
  SwipeDirection direction_ = kSwipeDirectionRight;
};

}  // namespace uikit
