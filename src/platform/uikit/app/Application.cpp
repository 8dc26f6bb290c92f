#include "platform/uikit/app/Application.h"

#include <utility>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Device.h"
#include "platform/uikit/app/Keyboard.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/controllers/ViewController.h"

namespace uikit {

Application& Application::sharedApplication() {
  QM_DCHECK_MAIN_THREAD();
  // Held by a shared_ptr so that the application can be a notification's object, and never destroyed: the
  // delegate and its screens may still post or stop observing while the process exits.
  static const std::shared_ptr<Application>& application =
      *new std::shared_ptr<Application>(new Application());
  return *application;
}

void Application::post(const char* notificationName) {
  ns::NotificationCenter::defaultCenter().postNotificationName(notificationName, shared_from_this());
}

void Application::launch(std::shared_ptr<ApplicationDelegate> delegate, const ns::Dictionary& launchOptions) {
  delegate_ = std::move(delegate);
  state_ = ApplicationState::kInactive;
  if (delegate_) {
    delegate_->didFinishLaunchingWithOptions(*this, launchOptions);
  }
  post(kApplicationDidFinishLaunchingNotification);
  becomeActive();
}

void Application::resignActive() {
  QM_DCHECK_MAIN_THREAD();
  if (state_ != ApplicationState::kActive) {
    return;
  }
  state_ = ApplicationState::kInactive;
  if (delegate_) {
    delegate_->applicationWillResignActive(*this);
  }
  post(kApplicationWillResignActiveNotification);
}

void Application::enterBackground() {
  QM_DCHECK_MAIN_THREAD();
  resignActive();
  if (state_ != ApplicationState::kInactive) {
    return;
  }
  state_ = ApplicationState::kBackground;
  if (delegate_) {
    delegate_->applicationDidEnterBackground(*this);
  }
  post(kApplicationDidEnterBackgroundNotification);
}

void Application::enterForeground() {
  QM_DCHECK_MAIN_THREAD();
  if (state_ != ApplicationState::kBackground) {
    return;
  }
  state_ = ApplicationState::kInactive;
  if (delegate_) {
    delegate_->applicationWillEnterForeground(*this);
  }
  post(kApplicationWillEnterForegroundNotification);
}

void Application::becomeActive() {
  QM_DCHECK_MAIN_THREAD();
  enterForeground();
  if (state_ != ApplicationState::kInactive) {
    return;
  }
  state_ = ApplicationState::kActive;
  if (delegate_) {
    delegate_->applicationDidBecomeActive(*this);
  }
  post(kApplicationDidBecomeActiveNotification);
}

void Application::terminate() {
  QM_DCHECK_MAIN_THREAD();
  backgroundTasks_.expireAll();
  if (delegate_) {
    delegate_->applicationWillTerminate(*this);
  }
  post(kApplicationWillTerminateNotification);
}

void Application::performBackgroundFetch(BackgroundFetchCompletionHandler completion) {
  QM_DCHECK_MAIN_THREAD();
  if (!delegate_) {
    completion(BackgroundFetchResult::kNoData);
    return;
  }
  delegate_->performFetchWithCompletionHandler(*this, std::move(completion));
}

BackgroundTaskIdentifier Application::beginBackgroundTaskWithExpirationHandler(
    std::function<void()> handler) {
  return backgroundTasks_.begin(std::move(handler));
}

void Application::endBackgroundTask(BackgroundTaskIdentifier identifier) {
  backgroundTasks_.end(identifier);
}

void Application::receiveMemoryWarning() {
  QM_DCHECK_MAIN_THREAD();
  post(kApplicationDidReceiveMemoryWarningNotification);
}

std::vector<std::shared_ptr<Window>> Application::windows() const {
  std::vector<std::shared_ptr<Window>> alive;
  for (const auto& window : windows_) {
    if (auto strong = window.lock()) {
      alive.push_back(std::move(strong));
    }
  }
  return alive;
}

void Application::windowDidBecomeVisible(const std::shared_ptr<Window>& window) {
  std::erase_if(windows_, [](const std::weak_ptr<Window>& known) { return known.expired(); });
  for (const auto& known : windows_) {
    if (known.lock() == window) {
      return;
    }
  }
  windows_.push_back(window);
}

std::shared_ptr<ViewController> Application::topViewController() const {
  const auto window = keyWindow();
  std::shared_ptr<ViewController> controller = window ? window->rootViewController() : nullptr;
  while (controller && controller->presentedViewController()) {
    controller = controller->presentedViewController();
  }
  return controller;
}

bool Application::openURL(const std::string& url) {
  QM_DCHECK_MAIN_THREAD();
  openedURLs_.push_back(url);
  return true;
}

void Application::updateInterfaceOrientation() {
  QM_DCHECK_MAIN_THREAD();
  const auto controller = topViewController();
  if (!controller) {
    return;
  }
  const InterfaceOrientationMask supported = controller->supportedInterfaceOrientations();
  const InterfaceOrientation deviceWants = interfaceOrientationFor(Device::currentDevice().orientation());
  if (controller->shouldAutorotate() && deviceWants != InterfaceOrientation::kUnknown &&
      (supported & maskOf(deviceWants)) != 0) {
    turnInterfaceTo(deviceWants);
    return;
  }
  if ((supported & maskOf(statusBarOrientation_)) != 0) {
    return;
  }
  const InterfaceOrientation preferred = controller->preferredInterfaceOrientationForPresentation();
  if ((supported & maskOf(preferred)) != 0) {
    turnInterfaceTo(preferred);
    return;
  }
  for (InterfaceOrientation candidate :
       {InterfaceOrientation::kPortrait, InterfaceOrientation::kLandscapeLeft,
        InterfaceOrientation::kLandscapeRight, InterfaceOrientation::kPortraitUpsideDown}) {
    if ((supported & maskOf(candidate)) != 0) {
      turnInterfaceTo(candidate);
      return;
    }
  }
}

void Application::turnInterfaceTo(InterfaceOrientation orientation) {
  if (orientation == statusBarOrientation_) {
    return;
  }
  const InterfaceOrientation old = statusBarOrientation_;
  auto& center = ns::NotificationCenter::defaultCenter();
  center.postNotificationName(
      kApplicationWillChangeStatusBarOrientationNotification, shared_from_this(),
      ns::Dictionary{{kApplicationStatusBarOrientationUserInfoKey, static_cast<int>(orientation)}});
  statusBarOrientation_ = orientation;
  center.postNotificationName(
      kApplicationDidChangeStatusBarOrientationNotification, shared_from_this(),
      ns::Dictionary{{kApplicationStatusBarOrientationUserInfoKey, static_cast<int>(old)}});
}

void Application::resetForTesting() {
  QM_DCHECK_MAIN_THREAD();
  backgroundTasks_.clear();
  if (auto responder = View::currentFirstResponder()) {
    responder->resignFirstResponder();
  }
  Keyboard::hide();
  AlertView::removeAllForTesting();
  delegate_.reset();
  state_ = ApplicationState::kInactive;
  windows_.clear();
  keyWindow_.reset();
  openedURLs_.clear();
  statusBarStyle_ = StatusBarStyle::kDefault;
  statusBarHidden_ = false;
  statusBarOrientation_ = InterfaceOrientation::kPortrait;
  networkActivityIndicatorVisible_ = false;
  receivingRemoteControlEvents_ = false;
  Device::currentDevice().setSystemVersion(Device::kDefaultSystemVersion);
  Device::currentDevice().setOrientation(DeviceOrientation::kPortrait);
  Screen::mainScreen().configure(Screen::kDefaultSize, Screen::kDefaultScale);
  Screen::mainScreen().setBrightness(0.5);
}

}  // namespace uikit
