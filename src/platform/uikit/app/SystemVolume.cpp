#include "platform/uikit/app/SystemVolume.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"

namespace uikit {

SystemVolume& SystemVolume::sharedInstance() {
  QM_DCHECK_MAIN_THREAD();
  static SystemVolume volume;
  return volume;
}

void SystemVolume::setVolume(float volume) {
  QM_DCHECK_MAIN_THREAD();
  if (std::isnan(volume)) {
    return;
  }
  const float clamped = std::clamp(volume, 0.0F, 1.0F);
  if (clamped == volume_) {
    return;
  }
  volume_ = clamped;
  ns::NotificationCenter::defaultCenter().postNotificationName(
      kSystemVolumeDidChangeNotification, nullptr, {{kAudioVolumeNotificationParameter, volume_}});
}

}  // namespace uikit
