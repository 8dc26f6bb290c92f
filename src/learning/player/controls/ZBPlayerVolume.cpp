#include "learning/player/controls/ZBPlayerVolume.h"

#include "platform/uikit/app/SystemVolume.h"
#include "platform/uikit/controls/VolumeSlider.h"

namespace learning {

ZBPlayerVolume::ZBPlayerVolume() : volumeView_(std::make_shared<uikit::VolumeView>()) {
  volumeView_->setShowsRouteButton(false);
  for (const auto& subview : volumeView_->subviews()) {
    if (auto slider = std::dynamic_pointer_cast<uikit::VolumeSlider>(subview)) {
      volumeViewSlider_ = std::move(slider);
      break;
    }
  }
  // Delivery is synchronous on the main thread, and the destructor removes the observer, so `this` is alive
  // whenever the block runs.
  volumeObserver_ = ns::NotificationCenter::defaultCenter().addObserverForName(
      uikit::kSystemVolumeDidChangeNotification, nullptr, nullptr,
      [this](const ns::Notification& notification) { changeVolume(notification); });
}

ZBPlayerVolume::~ZBPlayerVolume() {
  ns::NotificationCenter::defaultCenter().removeObserver(volumeObserver_);
}

float ZBPlayerVolume::volume() {
  if (volumeViewSlider_) {
    volume_ = volumeViewSlider_->value();
  }
  return volume_;
}

void ZBPlayerVolume::setVolume(float volume) {
  volume_ = volume;
  if (volumeViewSlider_) {
    volumeViewSlider_->setValue(volume, false);
  }
}

void ZBPlayerVolume::changeVolume(const ns::Notification& notification) {
  const auto parameter = notification.userInfo.find(uikit::kAudioVolumeNotificationParameter);
  if (parameter != notification.userInfo.end()) {
    volume_ = parameter->second.floatValue();
  }
}

}  // namespace learning
