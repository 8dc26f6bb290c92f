#pragma once

// learning::ZBPlayerTouch: the gesture surface over the picture. A tap reports a click; a pan decides once,
// on its first clearly horizontal or vertical movement, whether it seeks (horizontal) or changes the volume
// or brightness (vertical), and which half of the screen it started in (area), then reports each step.
//
// The surface holds its delegate strongly, as the player's parts do; the owner sets it to nullptr when it
// leaves, which breaks the cycle.
// Thread-safety: main thread only, like every view.

#include <cstdint>
#include <memory>

#include "learning/player/controls/ZBPlayerTouchDelegate.h"
#include "platform/uikit/gestures/PanGestureRecognizer.h"
#include "platform/uikit/gestures/TapGestureRecognizer.h"
#include "platform/uikit/views/View.h"

namespace learning {

class ZBPlayerTouch : public uikit::View {
 public:
  enum Direction : std::int32_t { kDirectionUndecided = 0, kDirectionHorizontal = 1, kDirectionVertical = 2 };
  enum Area : std::int32_t { kAreaLeft = 0, kAreaRight = 1 };

  explicit ZBPlayerTouch(uikit::Rect frame = {});

  bool tapAvailable() const { return tapAvailable_; }
  // Stores and turns the tap recogniser on or off.
  void setTapAvailable(bool available);
  bool panAvailable() const { return panAvailable_; }
  // Stores and turns the pan recogniser on or off.
  void setPanAvailable(bool available);
  std::int32_t direction() const { return direction_; }
  std::int32_t area() const { return area_; }
  const std::shared_ptr<ZBPlayerTouchDelegate>& delegate() const { return delegate_; }
  void setDelegate(std::shared_ptr<ZBPlayerTouchDelegate> delegate) { delegate_ = std::move(delegate); }

  // "surface <id>: (...)" with what the surface takes now.
  void renderInto(uikit::ScreenText& text) const override;

  uikit::PanGestureRecognizer& panGestureRecognizer() { return *panGestureRecognizer_; }
  uikit::TapGestureRecognizer& tapGestureRecognizer() { return *tapGestureRecognizer_; }

 private:
  void onEventForPanGestureRecognizer();
  void onEventForTapGestureRecognizer();
  // Decides the direction from the velocity, or leaves it undecided for a diagonal movement.
  void decideDirection(uikit::Point velocity);

  std::shared_ptr<uikit::PanGestureRecognizer> panGestureRecognizer_;
  std::shared_ptr<uikit::TapGestureRecognizer> tapGestureRecognizer_;
  bool tapAvailable_ = true;
  bool panAvailable_ = true;
  std::int32_t direction_ = kDirectionUndecided;
  std::int32_t area_ = kAreaLeft;
  std::shared_ptr<ZBPlayerTouchDelegate> delegate_;
};

}  // namespace learning
