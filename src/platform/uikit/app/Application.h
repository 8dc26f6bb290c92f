#pragma once

// uikit::Application: the running application: its delegate and life cycle, its windows, the URLs it was
// asked to open, the status bar, the network-activity indicator, remote-control events, and the orientation
// of the interface.
//
// Life cycle: launch() calls the delegate's didFinishLaunchingWithOptions() and then makes the application
// active. The other transitions are driven by whoever plays the system (the terminal front end, a test):
// active -> resignActive() -> inactive -> enterBackground() -> background -> enterForeground() -> inactive ->
// becomeActive() -> active; terminate() ends it. A call that skips a state passes through it
// (enterBackground() while active resigns first). Each transition calls its delegate callback and then posts
// its notification with the application as object.
//
// Orientation: the interface follows the device when the controller on screen (the key window's root, or what
// it presents on top) answers shouldAutorotate() and supports the new orientation; when the controller on
// screen does not support the current orientation (after a presentation, say), the interface turns to its
// preferred orientation. Each turn posts the will-change and did-change status-bar orientation notifications.
//
// Background tasks: beginBackgroundTaskWithExpirationHandler() asks for time to finish some work, and
// endBackgroundTask() says it is done; terminate() first runs the expiration handlers of the tasks still
// held (BackgroundTasks.h).
//
// Thread-safety: main thread only, like every class of uikit, except the two background-task calls, which
// any thread may make.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/values/Object.h"
#include "platform/foundation/values/Value.h"
#include "platform/uikit/app/ApplicationDelegate.h"
#include "platform/uikit/app/BackgroundTasks.h"
#include "platform/uikit/app/Orientation.h"

namespace uikit {

class ViewController;
class Window;

inline constexpr char kApplicationDidFinishLaunchingNotification[] =
    "UIApplicationDidFinishLaunchingNotification";
inline constexpr char kApplicationWillResignActiveNotification[] =
    "UIApplicationWillResignActiveNotification";
inline constexpr char kApplicationDidEnterBackgroundNotification[] =
    "UIApplicationDidEnterBackgroundNotification";
inline constexpr char kApplicationWillEnterForegroundNotification[] =
    "UIApplicationWillEnterForegroundNotification";
inline constexpr char kApplicationDidBecomeActiveNotification[] = "UIApplicationDidBecomeActiveNotification";
inline constexpr char kApplicationWillTerminateNotification[] = "UIApplicationWillTerminateNotification";
inline constexpr char kApplicationDidReceiveMemoryWarningNotification[] =
    "UIApplicationDidReceiveMemoryWarningNotification";
inline constexpr char kApplicationWillChangeStatusBarOrientationNotification[] =
    "UIApplicationWillChangeStatusBarOrientationNotification";
inline constexpr char kApplicationDidChangeStatusBarOrientationNotification[] =
    "UIApplicationDidChangeStatusBarOrientationNotification";
// In the orientation notifications' user info: the new orientation (will-change) or the old one (did-change),
// as its number.
inline constexpr char kApplicationStatusBarOrientationUserInfoKey[] =
    "UIApplicationStatusBarOrientationUserInfoKey";

enum class ApplicationState : int { kActive = 0, kInactive = 1, kBackground = 2 };
enum class StatusBarStyle : int { kDefault = 0, kLightContent = 1 };

class Application : public ns::Object {
 public:
  // The one application; it lives for the whole process.
  static Application& sharedApplication();

  // Life cycle. launch() keeps `delegate` for the life of the process (or until resetForTesting()).
  void launch(std::shared_ptr<ApplicationDelegate> delegate, const ns::Dictionary& launchOptions = {});
  const std::shared_ptr<ApplicationDelegate>& delegate() const { return delegate_; }
  ApplicationState applicationState() const { return state_; }
  void resignActive();
  void enterBackground();
  void enterForeground();
  void becomeActive();
  // Runs the expiration handlers of the background tasks still held, then ends the application.
  void terminate();
  // Any thread. Returns the new task's identifier, never kBackgroundTaskInvalid.
  BackgroundTaskIdentifier beginBackgroundTaskWithExpirationHandler(std::function<void()> handler);
  // Any thread. Ends the task; an unknown or ended one is ignored.
  void endBackgroundTask(BackgroundTaskIdentifier identifier);
  // Any thread. The background tasks not yet ended.
  std::size_t backgroundTaskCount() const { return backgroundTasks_.count(); }
  // Posts kApplicationDidReceiveMemoryWarningNotification. Linux warns no process of low memory, so only
  // whoever plays the system (a test, say) calls it.
  void receiveMemoryWarning();
  // Lets the delegate fetch in the background, as the system does now and then on a phone; `completion`
  // gets the delegate's result (no data without a delegate). Nothing on Linux asks for a fetch, so only
  // whoever plays the system (a test, say) calls it.
  void performBackgroundFetch(BackgroundFetchCompletionHandler completion);

  // Windows, in the order they were first made visible; windows that have gone are left out.
  std::vector<std::shared_ptr<Window>> windows() const;
  // The key window, or nullptr.
  std::shared_ptr<Window> keyWindow() const { return keyWindow_.lock(); }
  // The controller a person sees on the key window: its root, or the last controller presented over it.
  // nullptr without a key window or root.
  std::shared_ptr<ViewController> topViewController() const;

  // Records `url` as opened (the stand-in opens nothing) and returns true.
  bool openURL(const std::string& url);
  const std::vector<std::string>& openedURLs() const { return openedURLs_; }

  StatusBarStyle statusBarStyle() const { return statusBarStyle_; }
  void setStatusBarStyle(StatusBarStyle style) { statusBarStyle_ = style; }
  bool isStatusBarHidden() const { return statusBarHidden_; }
  void setStatusBarHidden(bool hidden) { statusBarHidden_ = hidden; }
  InterfaceOrientation statusBarOrientation() const { return statusBarOrientation_; }
  bool isNetworkActivityIndicatorVisible() const { return networkActivityIndicatorVisible_; }
  void setNetworkActivityIndicatorVisible(bool visible) { networkActivityIndicatorVisible_ = visible; }
  void beginReceivingRemoteControlEvents() { receivingRemoteControlEvents_ = true; }
  void endReceivingRemoteControlEvents() { receivingRemoteControlEvents_ = false; }
  bool isReceivingRemoteControlEvents() const { return receivingRemoteControlEvents_; }

  // Turns the interface as the header comment says. Called when the device turns and after presentations.
  void updateInterfaceOrientation();

  // Forgets the delegate, the background tasks (without expiring them), the windows, the alerts on screen
  // and the opened URLs, resigns the first responder, lowers the keyboard, and puts the status bar, device
  // and screen back to their defaults, as at the start of a fresh process. For tests that run several
  // sessions in one process.
  void resetForTesting();

 private:
  friend class Window;

  Application() = default;

  void windowDidBecomeVisible(const std::shared_ptr<Window>& window);
  void windowDidBecomeKey(const std::shared_ptr<Window>& window) { keyWindow_ = window; }
  // Moves the interface to `orientation`, posting the notifications.
  void turnInterfaceTo(InterfaceOrientation orientation);
  void post(const char* notificationName);

  std::shared_ptr<ApplicationDelegate> delegate_;
  BackgroundTasks backgroundTasks_;
  ApplicationState state_ = ApplicationState::kInactive;
  std::vector<std::weak_ptr<Window>> windows_;
  std::weak_ptr<Window> keyWindow_;
  std::vector<std::string> openedURLs_;
  StatusBarStyle statusBarStyle_ = StatusBarStyle::kDefault;
  bool statusBarHidden_ = false;
  InterfaceOrientation statusBarOrientation_ = InterfaceOrientation::kPortrait;
  bool networkActivityIndicatorVisible_ = false;
  bool receivingRemoteControlEvents_ = false;
};

}  // namespace uikit
