#include "learning/player/controls/ZBPlayerTouch.h"

#include <cmath>

#include "learning/player/controls/InterfaceScreenBounds.h"
#include "platform/uikit/render/ScreenText.h"

namespace learning {
namespace {

constexpr float kClearlyFaster = 3;
constexpr float kHorizontalScale = 200.0F;
constexpr float kVerticalScale = -500.0F;

}  // namespace

ZBPlayerTouch::ZBPlayerTouch(uikit::Rect frame)
    : View(frame),
      panGestureRecognizer_(std::make_shared<uikit::PanGestureRecognizer>()),
      tapGestureRecognizer_(std::make_shared<uikit::TapGestureRecognizer>()) {
  // The surface owns its recognisers, so the actions never outlive what they capture.
  panGestureRecognizer_->addAction([this](uikit::GestureRecognizer&) { onEventForPanGestureRecognizer(); });
  tapGestureRecognizer_->addAction([this](uikit::GestureRecognizer&) { onEventForTapGestureRecognizer(); });
  addGestureRecognizer(panGestureRecognizer_);
  addGestureRecognizer(tapGestureRecognizer_);
}

// The surface draws nothing, so the screen text names it and what it takes, for the terminal to reach it.
void ZBPlayerTouch::renderInto(uikit::ScreenText& text) const {
  const char* what = tapAvailable_ && panAvailable_
                         ? "(tap to show the controls; pan to seek, or to change the brightness and volume)"
                     : tapAvailable_ ? "(tap to show the controls)"
                     : panAvailable_ ? "(pan to seek, or to change the brightness and volume)"
                                     : nullptr;
  if (what != nullptr) {
    text.addLine(uikit::ScreenText::Section::kButton, "surface", *this, what);
  }
  View::renderInto(text);
}

void ZBPlayerTouch::setTapAvailable(bool available) {
  tapAvailable_ = available;
  tapGestureRecognizer_->setEnabled(available);
}

void ZBPlayerTouch::setPanAvailable(bool available) {
  panAvailable_ = available;
  panGestureRecognizer_->setEnabled(available);
}

// Each call holds the delegate for its duration: the delegate may let go of the surface's owner.
void ZBPlayerTouch::onEventForPanGestureRecognizer() {
  uikit::PanGestureRecognizer& pan = *panGestureRecognizer_;
  pan.setTranslation(uikit::Point{}, this);
  const uikit::Point velocity = pan.velocityInView(this);
  const uikit::Point location = pan.locationInView(this);
  switch (pan.state()) {
    case uikit::GestureState::kBegan:
      area_ = location.x > interfaceScreenBounds().width() / 2 ? kAreaRight : kAreaLeft;
      direction_ = kDirectionUndecided;
      break;
    case uikit::GestureState::kChanged:
      if (direction_ == kDirectionUndecided) {
        decideDirection(velocity);
      } else if (const auto delegate = delegate_) {
        const float value = direction_ == kDirectionHorizontal
                                ? static_cast<float>(velocity.x) / kHorizontalScale
                                : static_cast<float>(velocity.y) / kVerticalScale;
        delegate->touchOnChangingValue(*this, value);
      }
      break;
    case uikit::GestureState::kEnded:
      if (const auto delegate = delegate_) {
        delegate->touchOnChangedValue(*this, true);
      }
      break;
    default:
      break;
  }
}

void ZBPlayerTouch::decideDirection(uikit::Point velocity) {
  const float horizontal = std::fabs(static_cast<float>(velocity.x));
  const float vertical = std::fabs(static_cast<float>(velocity.y));
  if (horizontal > kClearlyFaster * vertical) {
    direction_ = kDirectionHorizontal;
  } else if (vertical > kClearlyFaster * horizontal) {
    direction_ = kDirectionVertical;
  }
}

void ZBPlayerTouch::onEventForTapGestureRecognizer() {
  if (tapGestureRecognizer_->state() != uikit::GestureState::kRecognized) {
    return;
  }
  if (const auto delegate = delegate_) {
    delegate->touchOnClicked(*this, true);
  }
}

}  // namespace learning
