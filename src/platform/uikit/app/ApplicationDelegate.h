#pragma once

// uikit::ApplicationDelegate: the object the application tells about its life cycle. Every callback is
// optional (an empty default); they run on the main thread in the order Application.h describes.
//
// Thread-safety: main thread only, like every class of uikit.

#include "platform/foundation/values/Value.h"

namespace uikit {

class Application;

class ApplicationDelegate {
 public:
  virtual ~ApplicationDelegate() = default;

  // Launching has finished; the delegate builds its window. The result is reported to nobody, as on the
  // platform for an application opened without a URL.
  virtual bool didFinishLaunchingWithOptions(Application&, const ns::Dictionary& /*launchOptions*/) {
    return true;
  }
  virtual void applicationWillResignActive(Application&) {}
  virtual void applicationDidEnterBackground(Application&) {}
  virtual void applicationWillEnterForeground(Application&) {}
  virtual void applicationDidBecomeActive(Application&) {}
  virtual void applicationWillTerminate(Application&) {}
};

}  // namespace uikit
