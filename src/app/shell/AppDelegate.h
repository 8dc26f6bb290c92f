#pragma once

// AppDelegate: the application's delegate. It launches the application, keeps the root screen in step with
// the session, checks for a newer version, keeps the application alive in the background with a silent
// looping clip, starts usage analytics and the reachability notifier, and saves the object store when the
// application terminates.
//
// Launch, in this order: a window over the main screen with a black background; reloadRootController();
// the window becomes key and visible; checkNewVersion(); backgroundPlayAudieo(); videvTrack(); the
// process's reachability monitor (QMAppServices::myReachable) starts its notifier. Launching also makes
// this delegate the one QMAppServices::reloadRootController() reaches, for the login screen and logout.
//
// The root screen: while logged in, the drawer with the menu on the left and a navigation stack rooted at
// the subject screen in the centre, both from storyboard "Course"; a drawer is built once per login and
// reused by later rebuilds. While logged out, the login screen from storyboard "User", and no drawer. Every
// rebuild first pauses all downloads, even when the root stays the same. A scene that is not registered is
// logged and leaves the root as it was.
//
// The version check posts "/app/latest_ver". A reply of code 0 stores "obj"."downloadPath"; when "status" is
// 2 it shows the update alert: forced ("forceUpdateStatus" 2) with the single button "马上更新", otherwise
// with "忽略" and "马上更新". "马上更新" opens the download address. A refusal shows the request layer's
// text; a transport failure does nothing.
//
// A background fetch asks for a public page and reports how that went (BackgroundFetchProbe.h).
//
// Thread-safety: main thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/avfoundation/AudioPlayer.h"
#include "platform/foundation/values/Object.h"
#include "platform/outside/Reachability.h"
#include "platform/uikit/alerts/AlertViewDelegate.h"
#include "platform/uikit/app/ApplicationDelegate.h"
#include "platform/uikit/app/Window.h"
#include "ui/drawer/DrawerController.h"

namespace app {

class AppDelegate : public ns::Object, public uikit::ApplicationDelegate, public uikit::AlertViewDelegate {
 public:
  static constexpr char kCourseStoryboard[] = "Course";
  static constexpr char kSubjectScene[] = "QMSubjectController";
  static constexpr char kMenuScene[] = "QMMenuController";
  static constexpr char kUserStoryboard[] = "User";
  static constexpr char kLoginScene[] = "QMUserLogController";

  static constexpr char kLatestVersionPath[] = "/app/latest_ver";
  static constexpr char kUpdateAlertTitle[] = "更新提示";
  static constexpr char kUpdateAlertMessage[] = " 检测到新版本，需要升级";
  static constexpr char kUpdateNowButton[] = "马上更新";
  static constexpr char kIgnoreButton[] = "忽略";

  // The bundle resource that the keep-alive loops, and how loud.
  static constexpr char kKeepAliveClipName[] = "test2";
  static constexpr char kKeepAliveClipType[] = "mp4";
  static constexpr float kKeepAliveVolume = 0.1f;

  static constexpr char kAnalyticsAppKey[] = "3f1c8a0b7d2e4f6091a5c3e7";
  static constexpr std::uint64_t kAnalyticsReportPolicy = 0;
  static constexpr char kAnalyticsChannel[] = "000016";

  // REQUIRES: owned by a std::shared_ptr before launch (replies and alerts hold it weakly).
  AppDelegate() = default;

  // The launch sequence of the header comment. Returns true.
  bool didFinishLaunchingWithOptions(uikit::Application& application,
                                     const ns::Dictionary& launchOptions) override;
  // Saves the object store.
  void applicationWillTerminate(uikit::Application& application) override;
  // Starts a BackgroundFetchProbe with `completionHandler`.
  void performFetchWithCompletionHandler(uikit::Application& application,
                                         uikit::BackgroundFetchCompletionHandler completionHandler) override;
  // The update alert's buttons: "马上更新" opens the download address, "忽略" only closes the alert.
  void alertViewClickedButtonAtIndex(uikit::AlertView& alertView, std::int64_t index) override;

  // Rebuilds the root screen as the header comment describes. REQUIRES: launched (the window exists).
  void reloadRootController();
  // Launch steps.
  void checkNewVersion();
  void backgroundPlayAudieo();
  void videvTrack();

  // The one window; nullptr before launch.
  const std::shared_ptr<uikit::Window>& window() const { return window_; }
  // The drawer root while logged in, else nullptr.
  const std::shared_ptr<ui::DrawerController>& drawer() const { return drawer_; }
  // The process's reachability monitor; nullptr before launch.
  const std::shared_ptr<outside::Reachability>& myReachable() const { return myReachable_; }
  // The newer version's download address from the last version reply, if it named one.
  const std::optional<std::string>& serverAppDownloadPath() const { return serverAppDownloadPath_; }
  // The looping keep-alive player; nullptr before the keep-alive starts, or when the bundle lacks its clip.
  const std::shared_ptr<av::AudioPlayer>& bgPlayer() const { return bgPlayer_; }

 private:
  // The update alert's tags: the index of its "马上更新" button.
  enum UpdateAlertTag : std::int64_t { kForcedUpdateTag = 0, kOptionalUpdateTag = 1 };

  std::shared_ptr<AppDelegate> sharedSelf();
  // Returns the drawer root with new menu and subject screens, or nullptr (logged) when a scene is missing.
  std::shared_ptr<ui::DrawerController> makeDrawer() const;
  // Handles the version reply of code 0.
  void versionCheckSucceeded(const ns::Value& obj);
  void showUpdateAlert(UpdateAlertTag tag);

  std::shared_ptr<uikit::Window> window_;
  std::shared_ptr<ui::DrawerController> drawer_;
  std::shared_ptr<outside::Reachability> myReachable_;
  std::optional<std::string> serverAppDownloadPath_;
  std::shared_ptr<av::AudioPlayer> bgPlayer_;
};

}  // namespace app
