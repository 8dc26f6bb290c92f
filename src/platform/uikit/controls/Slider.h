#pragma once

// uikit::Slider: a control that picks a value between a minimum and a maximum. Setting the value in code
// keeps it within the range and sends nothing. Its screen-text line is "slider <id>: <value>".
//
// Thread-safety: main thread only, like every class of uikit.

#include "platform/uikit/controls/Control.h"

namespace uikit {

class Slider : public Control {
 public:
  explicit Slider(Rect frame = {});

  // Subclasses that mirror an outside value (the system volume) read and write it here.
  virtual float value() const { return value_; }
  // Cuts `value` to [minimumValue, maximumValue].
  virtual void setValue(float value, bool animated = false);
  float minimumValue() const { return minimumValue_; }
  void setMinimumValue(float value);
  float maximumValue() const { return maximumValue_; }
  void setMaximumValue(float value);

  void renderInto(ScreenText& text) const override;

 private:
  float value_ = 0;
  float minimumValue_ = 0;
  float maximumValue_ = 1;
};

}  // namespace uikit
