#pragma once

// uikit::Switch: an on/off control. A tap flips it and sends value-changed; setting it in code sends nothing.
// Its screen-text line is "switch <id>: on" or "... off".
//
// Thread-safety: main thread only, like every class of uikit.

#include <optional>

#include "platform/uikit/controls/Control.h"

namespace uikit {

class Switch : public Control {
 public:
  explicit Switch(Rect frame = {});

  bool isOn() const { return on_; }
  void setOn(bool on, bool animated = false);
  const std::optional<Color>& onTintColor() const { return onTintColor_; }
  void setOnTintColor(std::optional<Color> color) { onTintColor_ = std::move(color); }

  void performTap() override;
  void renderInto(ScreenText& text) const override;

 private:
  bool on_ = false;
  std::optional<Color> onTintColor_;
};

}  // namespace uikit
