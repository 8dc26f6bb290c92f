#pragma once

// learning::ZBPlayerTouchDelegate: what the player's gesture surface tells its owner. Every callback is
// required. Called on the main thread.

namespace learning {

class ZBPlayerTouch;

class ZBPlayerTouchDelegate {
 public:
  virtual ~ZBPlayerTouchDelegate() = default;

  // A tap on the surface; `clicked` is always true.
  virtual void touchOnClicked(ZBPlayerTouch& touch, bool clicked) = 0;
  // One step of a pan whose direction is decided: the horizontal velocity / 200 for a horizontal pan, the
  // vertical velocity / -500 for a vertical one (upward is positive). Faster swipes give larger steps.
  virtual void touchOnChangingValue(ZBPlayerTouch& touch, float value) = 0;
  // The end of a pan; `changed` is always true.
  virtual void touchOnChangedValue(ZBPlayerTouch& touch, bool changed) = 0;
};

}  // namespace learning
