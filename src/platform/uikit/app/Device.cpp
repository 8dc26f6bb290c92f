#include "platform/uikit/app/Device.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/uikit/app/Application.h"

namespace uikit {

Device& Device::currentDevice() {
  QM_DCHECK_MAIN_THREAD();
  // Held by a shared_ptr so that the device can be a notification's object, and never destroyed, like the
  // application.
  static const std::shared_ptr<Device>& device = *new std::shared_ptr<Device>(new Device());
  return *device;
}

void Device::setOrientation(DeviceOrientation orientation) {
  QM_DCHECK_MAIN_THREAD();
  if (orientation == orientation_) {
    return;
  }
  orientation_ = orientation;
  ns::NotificationCenter::defaultCenter().postNotificationName(kDeviceOrientationDidChangeNotification,
                                                               shared_from_this());
  Application::sharedApplication().updateInterfaceOrientation();
}

}  // namespace uikit
