#pragma once

// learning::ZBPlayerVolume: reads and sets the system volume (0 to 1) through the slider of a volume view
// that is never put on screen, and keeps the last volume the system announced.
//
// Thread-safety: main thread only.

#include <memory>

#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/values/Object.h"
#include "platform/uikit/controls/Slider.h"
#include "platform/uikit/views/VolumeView.h"

namespace learning {

class ZBPlayerVolume : public ns::Object {
 public:
  ZBPlayerVolume();
  ~ZBPlayerVolume() override;

  // The system volume (also stored); the stored one when the volume view had no slider.
  float volume();
  // Stores `volume` and sets the system volume to it; the system keeps it within 0 to 1.
  void setVolume(float volume);

 private:
  // Remembers the volume a change notification carries.
  void changeVolume(const ns::Notification& notification);

  std::shared_ptr<uikit::VolumeView> volumeView_;
  // The volume view's slider, or nullptr when it has none.
  std::shared_ptr<uikit::Slider> volumeViewSlider_;
  float volume_ = 0;
  ns::NotificationCenter::ObserverToken volumeObserver_;
};

}  // namespace learning
