#pragma once

// uikit::VolumeSlider: the slider inside a volume view. Its value is the system volume: reading it reads
// SystemVolume, and setting it sets SystemVolume (which posts the change), so the slider and the volume
// buttons never disagree. Its range is 0 to 1.
//
// Thread-safety: main thread only, like every class of uikit.

#include "platform/uikit/controls/Slider.h"

namespace uikit {

class VolumeSlider : public Slider {
 public:
  explicit VolumeSlider(Rect frame = {}) : Slider(frame) {}

  float value() const override;
  void setValue(float value, bool animated = false) override;
};

}  // namespace uikit
