#pragma once

// uikit::SystemVolume: the device's output volume, from 0 (silent) to 1, which the volume buttons and the
// volume view's slider change. Every change posts kSystemVolumeDidChangeNotification (no object) with the new
// volume, a float, under kAudioVolumeNotificationParameter in the user info.
//
// Thread-safety: main thread only, like every class of uikit.

namespace uikit {

inline constexpr char kSystemVolumeDidChangeNotification[] =
    "AVSystemController_SystemVolumeDidChangeNotification";
inline constexpr char kAudioVolumeNotificationParameter[] =
    "AVSystemController_AudioVolumeNotificationParameter";

class SystemVolume {
 public:
  static constexpr float kDefaultVolume = 0.5F;

  // The one volume; it lives for the whole process.
  static SystemVolume& sharedInstance();

  float volume() const { return volume_; }
  // Sets the volume, cut to 0 to 1, and posts the notification when it changed. A value that is not a number
  // changes nothing.
  void setVolume(float volume);

  // Returns to kDefaultVolume without posting.
  void resetForTesting() { volume_ = kDefaultVolume; }

 private:
  SystemVolume() = default;

  float volume_ = kDefaultVolume;
};

}  // namespace uikit
