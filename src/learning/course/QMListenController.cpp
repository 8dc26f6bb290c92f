#include "learning/course/QMListenController.h"

#include <algorithm>
#include <utility>

#include "app/helpers/MyButton.h"
#include "app/helpers/QMHelpler.h"
#include "app/helpers/ZBAlertView.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "app/store/ConsoleLog.h"
#include "app/store/QMCourse.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "learning/course/QMCommonTreeCell.h"
#include "learning/course/QMCourseStoryboard.h"
#include "learning/course/QMDLBeginController.h"
#include "learning/course/QMLearningPosition.h"
#include "learning/course/QMLessonRoad.h"
#include "learning/course/QMLessonSequence.h"
#include "learning/downloads/QMSignedPlaylistURL.h"
#include "platform/avfoundation/MediaErrors.h"
#include "platform/avfoundation/PlayerItem.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/outside/Reachability.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Device.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/storyboard/Nib.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "platform/uikit/storyboard/Storyboard.h"
#include "ui/hud/ProgressHUD.h"

namespace learning {

namespace {

// The player's delegate: it holds the screen weakly, since the screen owns the player, and forwards every
// callback while the screen lives.
class ListenPlayerEvents : public ZBPlayerDelegate {
 public:
  explicit ListenPlayerEvents(std::weak_ptr<QMListenController> controller)
      : controller_(std::move(controller)) {}

  bool answers(Callback /*callback*/) const override { return true; }
  void playerDidStop(ZBPlayer& player, const std::optional<ns::Error>& error) override {
    if (auto controller = controller_.lock()) {
      controller->playerDidStop(player, error);
    }
  }
  void playerOnClickedPlayAtEnded(ZBPlayer& player, bool atEnded) override {
    if (auto controller = controller_.lock()) {
      controller->playerOnClickedPlayAtEnded(player, atEnded);
    }
  }
  void playerOnClickedNavBack(ZBPlayer& player, const std::optional<ns::URL>& url) override {
    if (auto controller = controller_.lock()) {
      controller->playerOnClickedNavBack(player, url);
    }
  }
  void playerOnClickedLast(ZBPlayer& player, const std::optional<ns::URL>& url) override {
    if (auto controller = controller_.lock()) {
      controller->playerOnClickedLast(player, url);
    }
  }
  void playerOnClickedNext(ZBPlayer& player, const std::optional<ns::URL>& url) override {
    if (auto controller = controller_.lock()) {
      controller->playerOnClickedNext(player, url);
    }
  }

 private:
  std::weak_ptr<QMListenController> controller_;
};

outside::NetworkStatus currentNetwork() {
  return app::QMAppServices::myReachable()->currentReachabilityStatus();
}

bool isLandscape(uikit::DeviceOrientation orientation) {
  return orientation == uikit::DeviceOrientation::kLandscapeLeft ||
         orientation == uikit::DeviceOrientation::kLandscapeRight;
}

}  // namespace

QMListenController::QMListenController() = default;

QMListenController::~QMListenController() {
  ns::NotificationCenter::defaultCenter().removeObserver(this);
}

std::shared_ptr<QMListenController> QMListenController::self() {
  return std::static_pointer_cast<QMListenController>(shared_from_this());
}

// Life cycle

void QMListenController::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  auto root = std::make_shared<uikit::View>(bounds);
  root->setBackgroundColor(app::QMHelpler::colorWithHexString("#36343b"));

  headerDistance_ = bounds.width() * kPlayerAspect;
  titleView_ = uikit::outlet("titleView", std::make_shared<uikit::View>(
                                              uikit::Rect(0, headerDistance_, bounds.width(), kTitleHeight)));
  titleView_->setBackgroundColor(app::QMHelpler::colorWithHexString("#434350"));
  phaseNameLabel_ =
      uikit::outlet("phaseNameLabel",
                    std::make_shared<uikit::Label>(uikit::Rect(12, 0, bounds.width() - 80, kTitleHeight)));
  phaseNameLabel_->setFont(uikit::Font::systemFontOfSize(15));
  phaseNameLabel_->setTextColor(uikit::Color::white(1));
  titleView_->addSubview(phaseNameLabel_);
  downloadButton_ = uikit::outlet(
      "downloadBtn", std::make_shared<uikit::Button>(uikit::Rect(bounds.width() - 64, 7, 52, 30)));
  downloadButton_->setTitle(kDownloadTitle, uikit::kControlStateNormal);
  downloadButton_->addTarget(self(), &QMListenController::goDownloadAction,
                             uikit::kControlEventTouchUpInside);
  titleView_->addSubview(downloadButton_);
  root->addSubview(titleView_);
  const double treeTop = headerDistance_ + kTitleHeight;
  myTreeView_ = uikit::outlet("myTreeView", std::make_shared<TRTreeView>(uikit::Rect(
                                                0, treeTop, bounds.width(), bounds.height() - treeTop)));
  myTreeView_->setTreeDelegate(std::static_pointer_cast<TRTreeViewDelegate>(self()));
  root->addSubview(myTreeView_);
  setView(std::move(root));
}

void QMListenController::viewDidLoad() {
  QM_DCHECK_MAIN_THREAD();
  loadInitData();
  loadInitView();
}

void QMListenController::viewWillDisappear(bool /*animated*/) {
  if (playerView_) {
    playerView_->setStalled(true);
  }
  uikit::Application::sharedApplication().setStatusBarHidden(false);
}

bool QMListenController::shouldAutorotate() const {
  return !(playerView_ && playerView_->isLocked());
}

void QMListenController::loadInitData() {
  alertTag_ = kNoQuestion;
  dataModel_ = std::make_shared<app::QMCourseDataModel>();
  dataModel_->setDelegate(std::static_pointer_cast<app::QMCourseDataModelDelegate>(self()));
  socketModel_ = RunLoopSocketModel::create();
  dataModel_->networkGetCourseTreeWithStage(stageModel_);
  observeNotifications();
}

void QMListenController::observeNotifications() {
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  const std::shared_ptr<QMListenController> me = self();
  center.addObserver(me, &QMListenController::reachabilityChanged,
                     std::string(outside::kReachabilityChangedNotification), nullptr);
  center.addObserver(me, &QMListenController::onChangeOrenation,
                     std::string(uikit::kApplicationDidChangeStatusBarOrientationNotification), nullptr);
  center.addObserver(me, &QMListenController::applicationWillResignActive,
                     std::string(uikit::kApplicationWillResignActiveNotification), nullptr);
  center.addObserver(me, &QMListenController::userLogout, std::string(app::kQMUserLogoutNotification),
                     nullptr);
}

void QMListenController::loadInitView() {
  const std::shared_ptr<app::QMSubject> subject = stageModel_ ? stageModel_->ownBySubject() : nullptr;
  phaseNameLabel_->setText((subject ? subject->subjectName().value_or("") : "") + "－" +
                           (stageModel_ ? stageModel_->stageName().value_or("") : ""));
  const uikit::Rect screen = uikit::Screen::mainScreen().bounds();
  const double shorter = std::min(screen.width(), screen.height());
  smallRect_ = uikit::Rect(0, 0, shorter, shorter * kPlayerAspect);
  playerView_ = ZBPlayer::playerWithFrame(smallRect_);
  playerEvents_ = std::make_shared<ListenPlayerEvents>(self());
  playerView_->setDelegate(playerEvents_);
  playerView_->setDefaultFullOrientation(kDefaultFullOrientation);
  view()->addSubview(playerView_);
}

// The tree

void QMListenController::networkGetCourseTreeSuccess(const std::shared_ptr<app::QMStage>& /*stage*/) {
  loadTreeView();
}

void QMListenController::loadTreeView() {
  if (!stageModel_ || stageModel_->sortedCourseArray().empty()) {
    return;
  }
  // The last-played lesson is looked for once the tree is stored, so that it is found on a first visit too.
  // Its saved second belongs to it only: without it in this stage, play starts at 0.
  if (!playingCourse_ && isPlayRecord_) {
    if (const auto lastPlayed = QMLearningPosition::lastPlayedLessonOf(*stageModel_)) {
      playingCourse_ = lastPlayed->lesson;
      recordProgress_ = static_cast<std::int32_t>(std::min<std::uint32_t>(lastPlayed->second, INT32_MAX));
    }
  }
  auto root = std::make_shared<TRTreeNodeData>();
  for (const std::shared_ptr<app::QMCourse>& course : stageModel_->sortedCourseArray()) {
    createTreeNodeDataWithCourse(course, root);
  }
  myTreeView_->setNodeData(root);
  if (!playingCourse_) {
    playingCourse_ = QMLessonSequence(*stageModel_).first();
    playingTreeNode_ = playingCourse_ ? treeNodeOf(*playingCourse_) : nullptr;
    myTreeView_->reloadData();
  }
  playVideo();
}

void QMListenController::createTreeNodeDataWithCourse(const std::shared_ptr<app::QMCourse>& course,
                                                      const std::shared_ptr<TRTreeNodeData>& upNode) {
  auto node = std::make_shared<TRTreeNodeData>(course);
  upNode->insertChild(node);
  const std::vector<std::shared_ptr<app::QMCourse>> children = course->sortedCourseArray();
  if (!children.empty()) {
    node->setExpand(true);
    for (const std::shared_ptr<app::QMCourse>& child : children) {
      createTreeNodeDataWithCourse(child, node);
    }
  } else if (course == playingCourse_) {
    playingTreeNode_ = node;
  }
}

std::shared_ptr<TRTreeNodeData> QMListenController::treeNodeOf(const app::QMCourse& course) const {
  const std::shared_ptr<TRTreeNodeData>& root = myTreeView_ ? myTreeView_->nodeData() : nullptr;
  if (!root) {
    return nullptr;
  }
  std::vector<std::shared_ptr<TRTreeNodeData>> pending(root->child().rbegin(), root->child().rend());
  while (!pending.empty()) {
    std::shared_ptr<TRTreeNodeData> node = std::move(pending.back());
    pending.pop_back();
    if (node->dataModel().get() == &course) {
      return node;
    }
    pending.insert(pending.end(), node->child().rbegin(), node->child().rend());
  }
  return nullptr;
}

// The tree view's delegate

double QMListenController::treeHeightForNodeData(TRTreeView& /*tree*/, TRTreeNodeData& /*node*/) {
  return kRowHeight;
}

std::shared_ptr<TRTreeNodeCell> QMListenController::treeCellForNodeData(
    TRTreeView& tree, const std::shared_ptr<TRTreeNodeData>& /*node*/) {
  if (auto reused = std::dynamic_pointer_cast<QMCommonTreeCell>(
          tree.dequeueReusableCellWithIdentifier(QMCommonTreeCell::kReuseIdentifier))) {
    return reused;
  }
  // Without its nib (QMCourseStoryboard registers it) there is no cell, which the table refuses loudly.
  const auto views = uikit::Nib::loadNibNamed(QMCommonTreeCell::kNibName, self());
  const auto cell = views.ok() && !views.value().empty()
                        ? std::dynamic_pointer_cast<QMCommonTreeCell>(views.value().front())
                        : nullptr;
  if (cell) {
    cell->setSuperController(self());
  }
  return cell;
}

void QMListenController::treeDidSelectNodeCell(TRTreeView& /*tree*/, TRTreeNodeCell& cell) {
  const std::shared_ptr<TRTreeNodeData> node = cell.nodeData();
  const auto course = node ? std::dynamic_pointer_cast<app::QMCourse>(node->dataModel()) : nullptr;
  if (course && course->isLesson()) {
    chooseLesson(course);
  }
}

void QMListenController::chooseLesson(const std::shared_ptr<app::QMCourse>& lesson) {
  QM_DCHECK_MAIN_THREAD();
  if (!lesson || !lesson->isLesson()) {
    return;
  }
  playingCourse_ = lesson;
  playingTreeNode_ = treeNodeOf(*lesson);
  if (myTreeView_) {
    myTreeView_->reloadData();
  }
  // A resumed second belongs to the resumed lesson; any lesson chosen afterwards starts at 0.
  recordProgress_ = 0;
  playVideo();
}

// Choosing the road

void QMListenController::playVideo() {
  if (!playingCourse_ || !playerView_) {
    return;
  }
  lastPlayFailed_ = false;
  pendingReport_.reset();
  itemStatusObservation_.reset();
  switch (lessonRoadFor(*playingCourse_, currentNetwork(), *app::QMUser::sharedInstance())) {
    case QMLessonRoad::kOffline:
      withdrawQuestion();
      pendingOnlinePlay_.reset();
      playLocalVideo();
      break;
    case QMLessonRoad::kOnline:
      withdrawQuestion();
      requestOnlinePlay({.fromSecond = static_cast<std::uint32_t>(recordProgress_), .reports = true});
      break;
    case QMLessonRoad::kAskFirst:
      pendingOnlinePlay_.reset();
      askAboutCellular(kQuestionBeforePlay);
      break;
  }
}

void QMListenController::playLocalVideo() {
  const std::shared_ptr<app::QMFileCacheInfo> record = playingCourse_->fileCacheInfo();
  ns::Result<ns::URL> url =
      record ? localServer_.playlistURLOf(*record)
             : ns::Result<ns::URL>(ns::Error(kQMLessonServerErrorDomain, QMLessonServer::kNoLessonFolder));
  if (!url.ok()) {
    app::consoleLog("offline play failed: " + app::consoleTextOfError(url.error()));
    playerView_->breakMedia();
    showFileErrorAlert();
    return;
  }
  startPlayer(*url, static_cast<std::uint32_t>(recordProgress_));
  recordProgress_ = 0;
}

void QMListenController::requestOnlinePlay(PendingOnlinePlay play) {
  pendingOnlinePlay_ = play;
  dataModel_->networkGetServerTime();
}

void QMListenController::networkGetServerTimeSuccess(double serverTime) {
  if (!pendingOnlinePlay_ || !playingCourse_ || !playerView_) {
    return;
  }
  const PendingOnlinePlay play = *pendingOnlinePlay_;
  pendingOnlinePlay_.reset();
  const std::string url = QMSignedPlaylistURL::m3u8VideoURLWithServerTime(
      *playingCourse_, serverTime, QMSignedPlaylistURL::Use::kOnlinePlay);
  app::consoleLog("播放地址获取成功开始播放：" + url);
  playingCourse_->setVideoURL(url);
  playOnlineVideo(play);
}

void QMListenController::networkGetServerTimeFailed() {
  pendingOnlinePlay_.reset();
  if (playerView_) {
    playerView_->breakMedia();
  }
}

void QMListenController::playOnlineVideo(const PendingOnlinePlay& play) {
  // The network may have turned cellular while the time was on its way: the question comes first.
  if (alertTag_ != kNoQuestion) {
    return;
  }
  if (!play.allowedOnCellular && mustAskBeforeOnlinePlay(currentNetwork(), *app::QMUser::sharedInstance())) {
    askAboutCellular(kQuestionBeforePlay);
    return;
  }
  const std::string url = playingCourse_->videoURL().value_or("");
  const std::optional<ns::URL> playlist = ns::URL::fromString(url);
  if (!playlist) {
    playerView_->breakMedia();
    return;
  }
  startPlayer(*playlist, play.fromSecond);
  if (play.reports) {
    watchForReport({.startSecond = static_cast<std::int32_t>(play.fromSecond), .url = url});
  }
  recordProgress_ = 0;
}

void QMListenController::startPlayer(const ns::URL& url, std::uint32_t fromSecond) {
  // A pause asked for before (the picker on top, the warning at the last lesson) was meant for the media
  // then; the lesson the learner plays now starts by itself.
  playerView_->setStalled(false);
  playerView_->playURL(url, playingCourse_->courseName().value_or(""), fromSecond);
}

// The play report

void QMListenController::watchForReport(PendingReport report) {
  pendingReport_ = std::move(report);
  const std::shared_ptr<av::PlayerItem>& item = playerView_->plitem();
  if (!item) {
    return;
  }
  std::weak_ptr<QMListenController> weakSelf = self();
  itemStatusObservation_ =
      item->observe(std::string(av::PlayerItem::kStatusKey), [weakSelf](const ns::KeyValueChange& change) {
        const std::shared_ptr<QMListenController> controller = weakSelf.lock();
        if (controller &&
            change.newValue.integerValue() == static_cast<int>(av::PlayerItemStatus::kReadyToPlay)) {
          controller->sendReport(true);
        }
      });
}

void QMListenController::sendReport(bool success) {
  itemStatusObservation_.reset();
  if (!pendingReport_ || !socketModel_) {
    return;
  }
  const PendingReport report = std::move(*pendingReport_);
  pendingReport_.reset();
  socketModel_->sendMessageWithStartTime(report.startSecond, report.url, success,
                                         app::QMUser::sharedInstance()->userId().value_or(""), true);
}

// The Wi-Fi question

void QMListenController::askAboutCellular(AlertTag tag) {
  if (playerView_) {
    // The marked lesson, the title and the time all name the lesson asked about: before a play it is not
    // the one the player had.
    if (tag == kQuestionBeforePlay && playingCourse_) {
      playerView_->showUnopened(playingCourse_->courseName().value_or(""));
    } else {
      playerView_->breakMedia();
    }
  }
  alertTag_ = tag;
  if (questionSession_) {
    return;
  }
  questionSession_ = app::ZBAlertView::showAlertWithMessage(
      kCellularQuestion, std::string(kRememberChoice), {kCancelTitle, kGoOnTitle},
      std::static_pointer_cast<app::ZBAlertViewDelegate>(self()));
}

void QMListenController::withdrawQuestion() {
  alertTag_ = kNoQuestion;
  if (const std::optional<std::int64_t> session = std::exchange(questionSession_, std::nullopt)) {
    app::ZBAlertView::dismissAlertView(*session);
  }
}

void QMListenController::alertViewDidOnClickedButton(app::ZBAlertView& alertView, app::MyButton& button) {
  const std::string title = button.currentTitle();
  const std::int32_t tag = alertTag_;
  alertTag_ = kNoQuestion;
  questionSession_.reset();
  if (title == kGoOnTitle) {
    if (alertView.switchSave()) {
      app::QMUser::sharedInstance()->setKeepRememberPlay(true);
    }
    if (!playingCourse_ || !playerView_) {
      return;
    }
    // The URL signed before the question may have expired meanwhile: the play is signed again. A play that
    // had not started yet begins at its resume second and is reported; an interrupted one goes on where it
    // stopped.
    if (tag == kQuestionAfterSwitch) {
      requestOnlinePlay({.fromSecond = playerView_->progressSec(), .allowedOnCellular = true});
    } else {
      requestOnlinePlay({.fromSecond = static_cast<std::uint32_t>(recordProgress_),
                         .reports = true,
                         .allowedOnCellular = true});
    }
  } else if (title == kCancelTitle) {
    app::QMUser::sharedInstance()->setKeepRememberPlay(false);
  }
}

// The network

void QMListenController::reachabilityChanged(const ns::Notification& /*notification*/) {
  const outside::NetworkStatus network = currentNetwork();
  if (network == outside::NotReachable) {
    isOutline_ = true;
    showWarnningWithText(kNoNetworkWarning);
    return;
  }
  if (network == outside::ReachableViaWiFi && isOutline_ && isPlayerNetError_) {
    isOutline_ = false;
    isPlayerNetError_ = false;
    if (playingCourse_ && playerView_) {
      // The URL of the failed play has expired by now: the play is signed again.
      requestOnlinePlay({.fromSecond = playerView_->progressSec()});
    }
  }
  if (network == outside::ReachableViaWWAN && playingCourse_ && !isLessonDownloaded(*playingCourse_) &&
      mustAskBeforeOnlinePlay(network, *app::QMUser::sharedInstance()) && alertTag_ == kNoQuestion) {
    // A play still waiting for its server time has not started: the question is the one before a play.
    const AlertTag tag = pendingOnlinePlay_ ? kQuestionBeforePlay : kQuestionAfterSwitch;
    pendingOnlinePlay_.reset();
    askAboutCellular(tag);
  }
}

// The player's callbacks

void QMListenController::playerDidStop(ZBPlayer& player, const std::optional<ns::Error>& error) {
  if (error) {
    lastPlayFailed_ = true;
    const auto& logs = player.playerErrorLogs();
    if (std::any_of(logs.begin(), logs.end(), [](const av::PlayerItemErrorLogEvent& event) {
          return event.errorDomain == av::kCFErrorDomainCFNetwork;
        })) {
      isPlayerNetError_ = true;
    }
    sendReport(false);
    return;
  }
  saveLearningProgress();
  playerOnClickedNext(player, player.currentURL());
}

void QMListenController::playerOnClickedPlayAtEnded(ZBPlayer& player, bool atEnded) {
  if (!atEnded) {
    return;
  }
  if (lastPlayFailed_) {
    // After a failure the button tries the same lesson again, from where it stopped.
    recordProgress_ = static_cast<std::int32_t>(std::min<std::uint32_t>(player.progressSec(), INT32_MAX));
    playVideo();
    return;
  }
  player.setStalled(true);
  showWarnningWithText(kLastLessonWarning);
}

void QMListenController::playerOnClickedNavBack(ZBPlayer& /*player*/, const std::optional<ns::URL>& /*url*/) {
  saveLearningProgress();
  leaveScreen();
  dismissViewControllerAnimated(true, [] {
    uikit::Application::sharedApplication().setStatusBarStyle(uikit::StatusBarStyle::kDefault);
  });
}

void QMListenController::playerOnClickedLast(ZBPlayer& /*player*/, const std::optional<ns::URL>& /*url*/) {
  if (!playingCourse_ || !stageModel_) {
    return;
  }
  moveTo(QMLessonSequence(*stageModel_).previous(*playingCourse_), kFirstLessonWarning);
}

void QMListenController::playerOnClickedNext(ZBPlayer& /*player*/, const std::optional<ns::URL>& /*url*/) {
  if (!playingCourse_ || !stageModel_) {
    return;
  }
  moveTo(QMLessonSequence(*stageModel_).next(*playingCourse_), kLastLessonWarning);
}

void QMListenController::moveTo(const std::shared_ptr<app::QMCourse>& lesson, const char* warningAtTheEnd) {
  if (!lesson) {
    showWarnningWithText(warningAtTheEnd);
    return;
  }
  chooseLesson(lesson);
}

// Leaving

void QMListenController::saveLearningProgress() {
  if (playingCourse_ && playerView_) {
    QMLearningPosition::save(playingCourse_, playerView_->progressSec());
  }
}

void QMListenController::leaveScreen() {
  if (socketModel_) {
    socketModel_->disConnect();
  }
  withdrawQuestion();
  deallocPlayer();
}

void QMListenController::deallocPlayer() {
  pendingOnlinePlay_.reset();
  pendingReport_.reset();
  itemStatusObservation_.reset();
  if (!playerView_) {
    return;
  }
  playerView_->breakMedia();
  playerView_->removeFromSuperview();
  playerView_->setDelegate(nullptr);
  playerView_.reset();
}

void QMListenController::applicationWillResignActive(const ns::Notification& /*notification*/) {
  if (playerView_) {
    playerView_->setStalled(true);
  }
  saveLearningProgress();
}

void QMListenController::userLogout(const ns::Notification& /*notification*/) {
  leaveScreen();
  dismissViewControllerAnimated(false);
  uikit::Device::currentDevice().setOrientation(uikit::DeviceOrientation::kPortrait);
}

// Orientation

void QMListenController::onChangeOrenation(const ns::Notification& /*notification*/) {
  if (!playerView_ || playerView_->isLocked()) {
    return;
  }
  const uikit::DeviceOrientation orientation = uikit::Device::currentDevice().orientation();
  if (isLandscape(orientation)) {
    enterFullScreen();
  } else if (orientation == uikit::DeviceOrientation::kPortrait) {
    enterHalfScreen();
  }
}

void QMListenController::enterFullScreen() {
  const std::shared_ptr<uikit::Window> window = uikit::Application::sharedApplication().keyWindow();
  if (!window || !isViewLoaded()) {
    return;
  }
  playerView_->removeFromSuperview();
  const uikit::Rect screen = uikit::Screen::mainScreen().bounds();
  playerView_->setFrame(uikit::Rect(0, 0, std::max(screen.width(), screen.height()),
                                    std::min(screen.width(), screen.height())));
  playerView_->setNeedsDisplay();
  if (viewIfLoaded()->superview() == window.get()) {
    window->insertSubviewAboveSubview(playerView_, *viewIfLoaded());
  } else {
    window->addSubview(playerView_);
  }
}

void QMListenController::enterHalfScreen() {
  playerView_->removeFromSuperview();
  playerView_->setFrame(smallRect_);
  playerView_->setNeedsDisplay();
  view()->addSubview(playerView_);
}

// Messages

void QMListenController::showWarnningWithText(const std::string& text) {
  ui::ProgressHUD::showAlertWithText(text, kWarningSeconds);
}

void QMListenController::showFileErrorAlert() {
  auto alert =
      std::make_shared<uikit::AlertView>("", kFileErrorMessage, std::weak_ptr<uikit::AlertViewDelegate>(),
                                         std::string(kCancelTitle), std::vector<std::string>{});
  alert->show();
}

// The download picker

void QMListenController::goDownloadAction(uikit::Button& /*sender*/) {
  if (playerView_) {
    playerView_->setStalled(true);
  }
  ns::Result<uikit::Storyboard> storyboard = uikit::Storyboard::storyboardWithName(QMCourseStoryboard::kName);
  ns::Result<std::shared_ptr<uikit::ViewController>> initial =
      storyboard.ok() ? storyboard->instantiateInitialViewController()
                      : ns::Result<std::shared_ptr<uikit::ViewController>>(storyboard.error());
  const auto navigation =
      initial.ok() ? std::dynamic_pointer_cast<uikit::NavigationController>(initial.value()) : nullptr;
  if (!navigation || navigation->viewControllers().empty()) {
    return;
  }
  if (const auto picker =
          std::dynamic_pointer_cast<QMDLBeginController>(navigation->viewControllers().front())) {
    picker->setMyStageModel(stageModel_);
  }
  presentViewController(navigation, true);
}

}  // namespace learning
