#pragma once

// uikit::ApplicationDelegate: the object the application tells about its life cycle. Every callback is
// optional (an empty default); they run on the main thread in the order Application.h describes.
//
// Thread-safety: main thread only, like every class of uikit.

#include <functional>

#include "platform/foundation/values/Value.h"

namespace uikit {

class Application;

// What a background fetch found, in the platform's numbering.
enum class BackgroundFetchResult : int { kNewData = 0, kNoData = 1, kFailed = 2 };
using BackgroundFetchCompletionHandler = std::function<void(BackgroundFetchResult result)>;

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
  // The system lets the application fetch new content in the background. The delegate calls
  // `completionHandler` once, on the main thread, when the fetch has ended; one that fetches nothing says so
  // at once.
  virtual void performFetchWithCompletionHandler(Application&,
                                                 BackgroundFetchCompletionHandler completionHandler) {
    completionHandler(BackgroundFetchResult::kNoData);
  }
};

}  // namespace uikit
