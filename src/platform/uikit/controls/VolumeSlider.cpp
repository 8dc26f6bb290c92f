#include "platform/uikit/controls/VolumeSlider.h"

#include "platform/uikit/app/SystemVolume.h"

namespace uikit {

float VolumeSlider::value() const {
  return SystemVolume::sharedInstance().volume();
}

void VolumeSlider::setValue(float value, bool) {
  SystemVolume::sharedInstance().setVolume(value);
}

}  // namespace uikit
