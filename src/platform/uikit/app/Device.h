#pragma once

// uikit::Device: the phone the application runs on: its model ("iPhone"), system version, interface idiom and
// physical orientation.
//
// Setting the orientation (as a person turning the phone, a test, or a screen forcing it) posts
// kDeviceOrientationDidChangeNotification with the device as object, and then lets the application turn the
// interface when the controller on screen allows it (Application.h).
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <string>

#include "platform/foundation/values/Object.h"
#include "platform/uikit/app/Orientation.h"

namespace uikit {

inline constexpr char kDeviceOrientationDidChangeNotification[] = "UIDeviceOrientationDidChangeNotification";

enum class UserInterfaceIdiom : int { kUnspecified = -1, kPhone = 0, kPad = 1 };

class Device : public ns::Object {
 public:
  static constexpr char kDefaultSystemVersion[] = "9.3";

  // The one device; it lives for the whole process.
  static Device& currentDevice();

  const std::string& model() const { return model_; }
  const std::string& systemVersion() const { return systemVersion_; }
  void setSystemVersion(std::string version) { systemVersion_ = std::move(version); }
  UserInterfaceIdiom userInterfaceIdiom() const { return UserInterfaceIdiom::kPhone; }

  DeviceOrientation orientation() const { return orientation_; }
  // Sets the orientation; when it changes, posts the notification and lets the interface follow.
  void setOrientation(DeviceOrientation orientation);

 private:
  Device() = default;

  std::string model_ = "iPhone";
  std::string systemVersion_ = kDefaultSystemVersion;
  DeviceOrientation orientation_ = DeviceOrientation::kPortrait;
};

}  // namespace uikit
