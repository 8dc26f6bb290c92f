#include "app/shell/AppDelegate.h"

#include <utility>
#include <vector>

#include "analytics/UsageClick.h"
#include "app/base/QMBaseNavigationController.h"
#include "app/network/QMNetworkHelper.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "app/shell/BackgroundFetchProbe.h"
#include "app/store/ConsoleLog.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/ServerValue.h"
#include "platform/avfoundation/AudioSession.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/storyboard/Storyboard.h"
#include "ui/drawer/DrawerControllerChild.h"

namespace app {

namespace {

// Returns a new controller of `scene` in `storyboardName`, or nullptr after logging why there is none.
std::shared_ptr<uikit::ViewController> instantiateScene(const std::string& storyboardName,
                                                        const std::string& scene) {
  ns::Result<uikit::Storyboard> storyboard = uikit::Storyboard::storyboardWithName(storyboardName);
  ns::Result<std::shared_ptr<uikit::ViewController>> controller =
      storyboard.ok() ? storyboard->instantiateViewControllerWithIdentifier(scene)
                      : ns::Result<std::shared_ptr<uikit::ViewController>>(storyboard.error());
  if (!controller.ok()) {
    consoleLog("Cannot build the root screen: " + controller.error().localizedDescription());
    return nullptr;
  }
  return *controller;
}

bool readsAsTwo(const ns::Value* value) {
  return value != nullptr && value->integerValue() == 2;
}

}  // namespace

std::shared_ptr<AppDelegate> AppDelegate::sharedSelf() {
  return std::static_pointer_cast<AppDelegate>(shared_from_this());
}

bool AppDelegate::didFinishLaunchingWithOptions(uikit::Application& /*application*/,
                                                const ns::Dictionary& /*launchOptions*/) {
  QM_DCHECK_MAIN_THREAD();
  QMAppServices::setRootRebuilder([weakSelf = std::weak_ptr<AppDelegate>(sharedSelf())] {
    if (std::shared_ptr<AppDelegate> self = weakSelf.lock()) {
      self->reloadRootController();
    }
  });
  window_ = std::make_shared<uikit::Window>();
  window_->setBackgroundColor(uikit::Color::black());
  reloadRootController();
  window_->makeKeyAndVisible();
  checkNewVersion();
  backgroundPlayAudieo();
  videvTrack();
  myReachable_ = QMAppServices::myReachable();
  myReachable_->startNotifier();
  return true;
}

void AppDelegate::applicationWillTerminate(uikit::Application& /*application*/) {
  QMCoreDataHelper::sharedInstance().saveContext();
}

void AppDelegate::performFetchWithCompletionHandler(
    uikit::Application& /*application*/, uikit::BackgroundFetchCompletionHandler completionHandler) {
  QM_DCHECK_MAIN_THREAD();
  BackgroundFetchProbe::start(std::move(completionHandler));
}

void AppDelegate::reloadRootController() {
  QM_DCHECK_MAIN_THREAD();
  QMAppServices::pauseAllDownloads();
  if (QMUser::sharedInstance()->isLogin()) {
    if (!drawer_) {
      drawer_ = makeDrawer();
    }
    if (drawer_) {
      window_->setRootViewController(drawer_);
    }
    return;
  }
  if (std::shared_ptr<uikit::ViewController> login = instantiateScene(kUserStoryboard, kLoginScene)) {
    window_->setRootViewController(std::move(login));
  }
  drawer_.reset();
}

std::shared_ptr<ui::DrawerController> AppDelegate::makeDrawer() const {
  std::shared_ptr<uikit::ViewController> subject = instantiateScene(kCourseStoryboard, kSubjectScene);
  std::shared_ptr<uikit::ViewController> menu = instantiateScene(kCourseStoryboard, kMenuScene);
  if (!subject || !menu) {
    return nullptr;
  }
  auto navigation = std::make_shared<QMBaseNavigationController>(subject);
  std::shared_ptr<ui::DrawerController> drawer =
      ui::DrawerController::initWithLeftViewController(menu, navigation);
  // The drawer hands itself to its own children only; the subject screen sits inside the navigation stack.
  if (auto child = std::dynamic_pointer_cast<ui::DrawerControllerChild>(subject)) {
    child->setDrawer(drawer);
  }
  return drawer;
}

void AppDelegate::checkNewVersion() {
  QM_DCHECK_MAIN_THREAD();
  std::weak_ptr<AppDelegate> weakSelf = sharedSelf();
  QMNetworkHelper::commonServerManager()->POST(
      kLatestVersionPath, QMNetworkHelper::networkCommonParam(std::nullopt),
      [weakSelf](const std::shared_ptr<http_client::HCHTTPRequestOperation>&,
                 const std::optional<ns::Value>& reply) {
        if (!QMNetworkHelper::networkParseServerReply(reply, true)) {
          return;
        }
        if (std::shared_ptr<AppDelegate> self = weakSelf.lock()) {
          const ns::Value* obj = reply->find("obj");
          self->versionCheckSucceeded(obj != nullptr ? *obj : ns::Value());
        }
      },
      // A version check that cannot reach the back end is simply skipped until the next launch.
      [](const std::shared_ptr<http_client::HCHTTPRequestOperation>&, const ns::Error&) {});
}

void AppDelegate::versionCheckSucceeded(const ns::Value& obj) {
  serverAppDownloadPath_ = serverTextOrNil(obj.find("downloadPath"));
  if (readsAsTwo(obj.find("status"))) {
    showUpdateAlert(readsAsTwo(obj.find("forceUpdateStatus")) ? kForcedUpdateTag : kOptionalUpdateTag);
  }
}

void AppDelegate::showUpdateAlert(UpdateAlertTag tag) {
  const bool forced = tag == kForcedUpdateTag;
  auto alert = std::make_shared<uikit::AlertView>(
      kUpdateAlertTitle, kUpdateAlertMessage, std::weak_ptr<uikit::AlertViewDelegate>(sharedSelf()),
      forced ? std::nullopt : std::optional<std::string>(kIgnoreButton),
      std::vector<std::string>{kUpdateNowButton});
  alert->setTag(tag);
  alert->show();
}

void AppDelegate::alertViewClickedButtonAtIndex(uikit::AlertView& alertView, std::int64_t index) {
  const bool updateNow = index == alertView.tag();
  if (updateNow && serverAppDownloadPath_) {
    uikit::Application::sharedApplication().openURL(*serverAppDownloadPath_);
  }
}

void AppDelegate::backgroundPlayAudieo() {
  QM_DCHECK_MAIN_THREAD();
  uikit::Application::sharedApplication().beginReceivingRemoteControlEvents();
  av::AudioSession& session = av::AudioSession::sharedInstance();
  session.setActive(true);
  session.setCategory(av::AudioSessionCategory::kPlayback, av::kAudioSessionCategoryOptionMixWithOthers);
  const std::optional<std::string> clip =
      ns::Bundle::mainBundle()->pathForResource(kKeepAliveClipName, kKeepAliveClipType);
  if (!clip) {
    consoleLog("The keep-alive clip test2.mp4 is not in the bundle; nothing plays in the background.");
    return;
  }
  ns::Result<std::shared_ptr<av::AudioPlayer>> player = av::AudioPlayer::initWithContentsOfFile(*clip);
  if (!player.ok()) {
    consoleLog("The keep-alive clip cannot be played: " + player.error().localizedDescription());
    return;
  }
  bgPlayer_ = std::move(player).value();
  bgPlayer_->prepareToPlay();
  bgPlayer_->setVolume(kKeepAliveVolume);
  bgPlayer_->setNumberOfLoops(-1);
  bgPlayer_->play();
}

void AppDelegate::videvTrack() {
  QM_DCHECK_MAIN_THREAD();
  const ns::Value* version =
      ns::Bundle::mainBundle()->objectForInfoDictionaryKey("CFBundleShortVersionString");
  analytics::UsageClick::setAppVersion(version != nullptr ? version->stringValue() : std::string());
  analytics::UsageClick::startWithAppkey(kAnalyticsAppKey, kAnalyticsReportPolicy, kAnalyticsChannel);
}

}  // namespace app
