#include "learning/cache/QMCacheController.h"

#include <algorithm>

#include "app/helpers/QMHelpler.h"
#include "app/store/ConsoleLog.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMDownloadStatus.h"
#include "app/store/QMFileCacheInfo.h"
#include "learning/cache/QMCachedCourseCell.h"
#include "learning/cache/QMCachingCourseCell.h"
#include "learning/cache/QMLessonFolderFiles.h"
#include "learning/course/QMLearningPosition.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/storyboard/Nib.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "ui/hud/ProgressHUD.h"

namespace learning {

namespace {

// The page's layout: the tree over the page, a bar of buttons along the bottom edge.
constexpr double kBottomBarHeight = 50;
constexpr double kButtonHeight = 30;
constexpr double kButtonWidth = 120;
constexpr double kButtonInset = 15;
constexpr double kEmptyImageSide = 120;

// The full-screen player's delegate: it holds the page weakly, since the page owns the player, and
// forwards every callback while the page lives.
class CachePlayerEvents : public ZBPlayerViewControllerDelegate {
 public:
  explicit CachePlayerEvents(std::weak_ptr<QMCacheController> page) : page_(std::move(page)) {}

  bool answers(Callback /*callback*/) const override { return true; }
  void playerDidStop(ZBPlayer& player, const std::optional<ns::Error>& error) override {
    if (auto page = page_.lock()) {
      page->playerDidStop(player, error);
    }
  }
  void playerOnClickedPlayAtEnded(ZBPlayer& player, bool atEnded) override {
    if (auto page = page_.lock()) {
      page->playerOnClickedPlayAtEnded(player, atEnded);
    }
  }
  void playerOnClickedNavBack(ZBPlayer& player, const std::optional<ns::URL>& url) override {
    if (auto page = page_.lock()) {
      page->playerOnClickedNavBack(player, url);
    }
  }
  void playerOnClickedLast(ZBPlayer& player, const std::optional<ns::URL>& url) override {
    if (auto page = page_.lock()) {
      page->playerOnClickedLast(player, url);
    }
  }
  void playerOnClickedNext(ZBPlayer& player, const std::optional<ns::URL>& url) override {
    if (auto page = page_.lock()) {
      page->playerOnClickedNext(player, url);
    }
  }

 private:
  std::weak_ptr<QMCacheController> page_;
};

std::shared_ptr<app::QMCourse> courseOf(const TRTreeNodeData* node) {
  return node ? ns::objectAs<app::QMCourse>(node->dataModel()) : nullptr;
}

std::int64_t statusOf(const app::QMCourse& lesson) {
  const std::shared_ptr<app::QMFileCacheInfo> record = lesson.fileCacheInfo();
  return record ? record->status().value_or(app::kQMDownloadNotQueued) : app::kQMDownloadNotQueued;
}

}  // namespace

QMCacheController::~QMCacheController() {
  ns::NotificationCenter::defaultCenter().removeObserver(this);
  closePlayer();
}

void QMCacheController::setType(std::int64_t type) {
  type_ = type;
  resetCourseArray();
}

void QMCacheController::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(app::QMHelpler::colorWithHexString("#36343b"));
  myTreeView_ = uikit::outlet("myTreeView", std::make_shared<TRTreeView>(uikit::Rect(
                                                0, 0, bounds.width(), bounds.height() - kBottomBarHeight)));
  noCourseImageView_ = uikit::outlet(
      "noCourseImageView",
      std::make_shared<uikit::ImageView>(uikit::Rect((bounds.width() - kEmptyImageSide) / 2, kEmptyImageSide,
                                                     kEmptyImageSide, kEmptyImageSide)));
  const double buttonY = bounds.height() - kBottomBarHeight + (kBottomBarHeight - kButtonHeight) / 2;
  cachedOpBtn_ = uikit::outlet(
      "cachedOpBtn", std::make_shared<uikit::Button>(uikit::Rect((bounds.width() - kButtonWidth) / 2, buttonY,
                                                                 kButtonWidth, kButtonHeight)));
  cachedOpBtn_->setTitle(kCleanAllTitle, uikit::kControlStateNormal);
  cachingOpView_ = uikit::outlet(
      "cachingOpView", std::make_shared<uikit::View>(uikit::Rect(0, bounds.height() - kBottomBarHeight,
                                                                 bounds.width(), kBottomBarHeight)));
  const double barButtonY = (kBottomBarHeight - kButtonHeight) / 2;
  pauseAllBtn_ = uikit::outlet("pauseAllBtn", std::make_shared<uikit::Button>(uikit::Rect(
                                                  kButtonInset, barButtonY, kButtonWidth, kButtonHeight)));
  cachingCleanBtn_ =
      uikit::outlet("cachingCleanBtn",
                    std::make_shared<uikit::Button>(uikit::Rect(bounds.width() - kButtonInset - kButtonWidth,
                                                                barButtonY, kButtonWidth, kButtonHeight)));
  cachingCleanBtn_->setTitle(kCleanAllTitle, uikit::kControlStateNormal);
  cachingOpView_->addSubview(pauseAllBtn_);
  cachingOpView_->addSubview(cachingCleanBtn_);
  for (const std::shared_ptr<uikit::View>& part : std::initializer_list<std::shared_ptr<uikit::View>>{
           myTreeView_, noCourseImageView_, cachedOpBtn_, cachingOpView_}) {
    view->addSubview(part);
  }
  setView(std::move(view));

  myTreeView_->setTreeDelegate(std::static_pointer_cast<TRTreeViewDelegate>(self()));
  cachedOpBtn_->addTarget(self(), &QMCacheController::cleanAllAction, uikit::kControlEventTouchUpInside);
  cachingCleanBtn_->addTarget(self(), &QMCacheController::cleanAllAction, uikit::kControlEventTouchUpInside);
  pauseAllBtn_->addTarget(self(), &QMCacheController::pauseAllAction, uikit::kControlEventTouchUpInside);
}

void QMCacheController::viewDidLoad() {
  app::QMBaseViewController::viewDidLoad();
  setupSubviews();
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  const std::shared_ptr<QMCacheController> me = self();
  center.addObserver(me, &QMCacheController::QMDLSuccessHandler, std::string(kQMDLSuccessNotification),
                     nullptr);
  center.addObserver(me, &QMCacheController::QMDLPauseAllHandler, std::string(kQMDLPauseAllNotification),
                     nullptr);
  center.addObserver(me, &QMCacheController::applicationWillResignActive,
                     std::string(uikit::kApplicationWillResignActiveNotification), nullptr);
  center.addObserver(me, &QMCacheController::applicationBecomeActive,
                     std::string(uikit::kApplicationDidBecomeActiveNotification), nullptr);
}

// Building the page

void QMCacheController::resetCourseArray() {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<app::QMStage> stage = myStage();
  if (type_ == kCachedPage) {
    courseArray_ = stage ? stage->cacheDoneCourse() : std::vector<std::shared_ptr<app::QMCourse>>{};
  } else if (type_ == kCachingPage) {
    courseArray_ = stage ? stage->cachingCourse() : std::vector<std::shared_ptr<app::QMCourse>>{};
  }
}

void QMCacheController::setupSubviews() {
  QM_DCHECK_MAIN_THREAD();
  if (!isViewLoaded()) {
    return;
  }
  const bool cachedPage = type_ == kCachedPage;
  cachedOpBtn_->setHidden(!cachedPage);
  cachingOpView_->setHidden(cachedPage);
  noCourseImageView_->setImage(uikit::Image::imageNamed(cachedPage ? kNoCourseImage : kNoCachingCourseImage));
  noCourseImageView_->setHidden(!courseArray_.empty());
  if (courseArray_.empty()) {
    myTreeView_->setNodeData(nullptr);
  } else {
    auto root = std::make_shared<TRTreeNodeData>();
    for (const std::shared_ptr<app::QMCourse>& course : courseArray_) {
      createTreeNodeDataWithCourse(course, root);
    }
    myTreeView_->setNodeData(std::move(root));
  }
  const std::shared_ptr<app::QMStage> stage = myStage();
  setPauseAllState(stage && !stage->cachingVideoArray().empty() ? kOffersPauseAll : kOffersStartAll);
}

void QMCacheController::createTreeNodeDataWithCourse(const std::shared_ptr<app::QMCourse>& course,
                                                     const std::shared_ptr<TRTreeNodeData>& upNode) {
  auto node = std::make_shared<TRTreeNodeData>(course);
  node->setExpand(true);
  upNode->insertChild(node);
  if (course->isLesson()) {
    return;
  }
  for (const std::shared_ptr<app::QMCourse>& child :
       type_ == kCachedPage ? course->cachedCourse() : course->cachingCourse()) {
    createTreeNodeDataWithCourse(child, node);
  }
}

void QMCacheController::setPauseAllState(std::int64_t tag) {
  pauseAllBtn_->setTag(tag);
  const bool offersPause = tag == kOffersPauseAll;
  pauseAllBtn_->setTitle(offersPause ? kPauseAllTitle : kStartAllTitle, uikit::kControlStateNormal);
  pauseAllBtn_->setImage(uikit::Image::imageNamed(offersPause ? kPauseAllImage : kStartAllImage),
                         uikit::kControlStateNormal);
}

// Downloads

void QMCacheController::changeCourseDLStatus(const std::shared_ptr<app::QMCourse>& lesson) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<app::QMFileCacheInfo> record = lesson ? lesson->fileCacheInfo() : nullptr;
  if (!record) {
    return;
  }
  switch (record->status().value_or(app::kQMDownloadNotQueued)) {
    case app::kQMDownloadWaiting:
    case app::kQMDownloadRunning:
      record->setStatus(app::kQMDownloadPaused);
      break;
    case app::kQMDownloadPaused:
    case app::kQMDownloadFailed:
      record->setStatus(app::kQMDownloadWaiting);
      break;
    default:
      break;
  }
  // The manager drops the transfer of a lesson that is no longer queued before it picks the next one.
  QMDownloadHelper::sharedInstance()->launchDownloader();
  app::QMCoreDataHelper::sharedInstance().saveContext();
  resetCourseArray();
  setupSubviews();
}

void QMCacheController::pauseAllAction(uikit::Button& sender) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<app::QMStage> stage = myStage();
  if (!stage) {
    return;
  }
  if (sender.tag() != kOffersPauseAll) {
    setPauseAllState(kOffersPauseAll);
    for (const std::shared_ptr<app::QMCourse>& lesson : stage->pausingVideoArray()) {
      lesson->fileCacheInfo()->setStatus(app::kQMDownloadWaiting);
    }
  } else {
    setPauseAllState(kOffersStartAll);
    for (const std::shared_ptr<app::QMCourse>& lesson : stage->cachingVideoArray()) {
      lesson->fileCacheInfo()->setStatus(app::kQMDownloadPaused);
    }
  }
  app::QMCoreDataHelper::sharedInstance().saveContext();
  QMDownloadHelper::sharedInstance()->launchDownloader();
}

void QMCacheController::deletePageLessons(const std::shared_ptr<app::QMCourse>& course) {
  if (type_ == kCachedPage) {
    deleteCachDoneVideoWith(course);
  } else if (type_ == kCachingPage) {
    deleteCachingVideoWith(course);
  }
}

void QMCacheController::deleteCachDoneVideoWith(const std::shared_ptr<app::QMCourse>& course) {
  if (!course->isLesson()) {
    for (const std::shared_ptr<app::QMCourse>& child : course->cachedCourse()) {
      deleteCachDoneVideoWith(child);
    }
    return;
  }
  if (statusOf(*course) == app::kQMDownloadDone) {
    QMDownloadHelper::sharedInstance()->deleteCourse(course);
    QMDownloadHelper::sharedInstance()->launchDownloader();
  }
}

void QMCacheController::deleteCachingVideoWith(const std::shared_ptr<app::QMCourse>& course) {
  if (!course->isLesson()) {
    for (const std::shared_ptr<app::QMCourse>& child : course->cachingCourse()) {
      deleteCachingVideoWith(child);
    }
    return;
  }
  const std::int64_t status = statusOf(*course);
  if (status != app::kQMDownloadNotQueued && status != app::kQMDownloadDone) {
    QMDownloadHelper::sharedInstance()->deleteCourse(course);
    QMDownloadHelper::sharedInstance()->launchDownloader();
  }
}

void QMCacheController::cleanAllAction(uikit::Button& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  auto alert = std::make_shared<uikit::AlertView>(
      "", kCleanAllQuestion, std::static_pointer_cast<uikit::AlertViewDelegate>(self()),
      std::string(kCancelTitle), std::vector<std::string>{kConfirmTitle});
  alert->show();
}

void QMCacheController::alertViewClickedButtonAtIndex(uikit::AlertView& /*alertView*/, std::int64_t index) {
  if (index != 1) {
    return;
  }
  // The list is taken first: each deletion changes what the stage holds.
  const std::vector<std::shared_ptr<app::QMCourse>> courses = courseArray_;
  for (const std::shared_ptr<app::QMCourse>& course : courses) {
    deletePageLessons(course);
  }
  resetCourseArray();
  setupSubviews();
}

// The tree view's delegate

double QMCacheController::treeHeightForNodeData(TRTreeView& /*tree*/, TRTreeNodeData& /*node*/) {
  return kRowHeight;
}

std::shared_ptr<TRTreeNodeCell> QMCacheController::treeCellForNodeData(
    TRTreeView& tree, const std::shared_ptr<TRTreeNodeData>& /*node*/) {
  const char* nibName = type_ == kCachingPage ? QMCachingCourseCell::kNibName : QMCachedCourseCell::kNibName;
  if (auto reused =
          std::dynamic_pointer_cast<TRTreeNodeCell>(tree.dequeueReusableCellWithIdentifier(nibName))) {
    return reused;
  }
  // Without its nib (QMCacheStoryboard registers it) there is no cell, which the table refuses loudly.
  const auto views = uikit::Nib::loadNibNamed(nibName, self());
  return views.ok() && !views.value().empty()
             ? std::dynamic_pointer_cast<TRTreeNodeCell>(views.value().front())
             : nullptr;
}

std::optional<bool> QMCacheController::treeShouldExpandAtSeletedNode(TRTreeView& /*tree*/,
                                                                     TRTreeNodeCell& /*cell*/) {
  return false;
}

void QMCacheController::treeDidSelectNodeCell(TRTreeView& /*tree*/, TRTreeNodeCell& cell) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<TRTreeNodeData> node = cell.nodeData();
  const std::shared_ptr<app::QMCourse> course = courseOf(node.get());
  if (!course || !course->isLesson()) {
    return;
  }
  if (type_ == kCachingPage) {
    changeCourseDLStatus(course);
  } else if (type_ == kCachedPage) {
    setPlayingNode(node);
  }
}

bool QMCacheController::treeCanEditRowAtNodeCell(TRTreeView& /*tree*/, TRTreeNodeCell& /*cell*/) {
  return true;
}

void QMCacheController::treeDidDeleteRowAtNodeCell(TRTreeView& /*tree*/, TRTreeNodeCell& cell) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<TRTreeNodeData> node = cell.nodeData();
  if (const std::shared_ptr<app::QMCourse> course = courseOf(node.get())) {
    deletePageLessons(course);
  }
  resetCourseArray();
  setupSubviews();
}

// Offline play

void QMCacheController::setPlayingNode(const std::shared_ptr<TRTreeNodeData>& node) {
  QM_DCHECK_MAIN_THREAD();
  playingNode_ = node;
  if (const std::shared_ptr<app::QMCourse> lesson = courseOf(node.get())) {
    playVideoWithCourse(lesson);
  }
}

void QMCacheController::playVideoWithCourse(const std::shared_ptr<app::QMCourse>& lesson) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<app::QMFileCacheInfo> record = lesson ? lesson->fileCacheInfo() : nullptr;
  if (!record || record->fileName().value_or("").empty()) {
    showFileErrorAlert();
    return;
  }
  if (const std::optional<std::string> folder = record->lessonFolderPath()) {
    QMLessonFolderFiles::moveQueryStringFiles(*folder);
  }
  if (!localServer_) {
    localServer_ = std::make_unique<QMLessonServer>();
  }
  // A server that cannot start, like a playlist that cannot be rewritten, leaves nothing to play.
  const ns::Result<ns::URL> url = localServer_->playlistURLOf(*record);
  if (!url.ok()) {
    app::consoleLog("offline play failed: " + app::consoleTextOfError(url.error()));
    showFileErrorAlert();
    return;
  }
  playInPlayer(*url, lesson->courseName().value_or(""));
}

void QMCacheController::playInPlayer(const ns::URL& url, const std::string& title) {
  if (playerController_ && playerController_->playerView()) {
    playerController_->playerView()->setStalled(false);
    playerController_->playerView()->playURL(url, title, 0);
    return;
  }
  const std::shared_ptr<uikit::ViewController> holder = superController_.lock();
  if (!holder) {
    return;
  }
  playerController_ = std::make_shared<ZBPlayerViewController>();
  playerController_->setDelegate(std::make_shared<CachePlayerEvents>(self()));
  uikit::ViewController* presenter = holder->navigationController();
  if (!presenter) {
    presenter = holder.get();
  }
  std::weak_ptr<ZBPlayerViewController> shown = playerController_;
  presenter->presentViewController(playerController_, false, [shown, url, title] {
    if (const auto controller = shown.lock(); controller && controller->playerView()) {
      controller->playerView()->playURL(url, title, 0);
    }
  });
}

std::vector<std::shared_ptr<TRTreeNodeData>> QMCacheController::lessonNodes() const {
  std::vector<std::shared_ptr<TRTreeNodeData>> lessons;
  const std::shared_ptr<TRTreeNodeData>& root = myTreeView_ ? myTreeView_->nodeData() : nullptr;
  if (!root) {
    return lessons;
  }
  for (const std::shared_ptr<TRTreeNodeData>& node : root->nodeArray(false)) {
    const std::shared_ptr<app::QMCourse> course = courseOf(node.get());
    if (course && course->isLesson()) {
      lessons.push_back(node);
    }
  }
  return lessons;
}

void QMCacheController::moveBy(int step, const char* warningAtTheEnd) {
  // The rows are walked in the order shown, so that the move crosses chapters and units at any depth.
  // The page may have been rebuilt since the play began (a download finished): the playing lesson is
  // looked for by its course, not by the row it was tapped on.
  const std::vector<std::shared_ptr<TRTreeNodeData>> lessons = lessonNodes();
  const std::shared_ptr<app::QMCourse> playing = courseOf(playingNode_.get());
  const auto at =
      std::find_if(lessons.begin(), lessons.end(), [&](const std::shared_ptr<TRTreeNodeData>& node) {
        return playing && courseOf(node.get()) == playing;
      });
  const std::ptrdiff_t index = at - lessons.begin();
  const std::ptrdiff_t target = index + step;
  if (at == lessons.end() || target < 0 || target >= static_cast<std::ptrdiff_t>(lessons.size())) {
    showWarnningWithText(warningAtTheEnd);
    return;
  }
  setPlayingNode(lessons[static_cast<std::size_t>(target)]);
}

// The player's callbacks

void QMCacheController::playerDidStop(ZBPlayer& player, const std::optional<ns::Error>& error) {
  if (!error) {
    saveLearningProgress();
    playerOnClickedNext(player, player.currentURL());
    return;
  }
  std::string lines = "\n\n!! ERROR !! \n\n" + app::consoleTextOfError(*error) + "\n" + "\n\nDetail:\n\n";
  int index = 0;
  for (const av::PlayerItemErrorLogEvent& event : player.playerErrorLogs()) {
    lines +=
        "error" + std::to_string(index++) + ":->" + event.errorDomain + " , " + event.errorComment + "\n";
  }
  lines += "\n\nEvent:\n\n";
  index = 0;
  for (const av::PlayerItemAccessLogEvent& event : player.playerEventLogs()) {
    lines += "event" + std::to_string(index++) + ":->URI:" + event.URI + " , serverAddress" +
             event.serverAddress.value_or("") + "\n";
  }
  app::consoleLog(lines);
}

void QMCacheController::playerOnClickedPlayAtEnded(ZBPlayer& player, bool atEnded) {
  if (!atEnded) {
    return;
  }
  player.setStalled(true);
  showWarnningWithText(kLastLessonWarning);
}

void QMCacheController::playerOnClickedNavBack(ZBPlayer& /*player*/, const std::optional<ns::URL>& /*url*/) {
  saveLearningProgress();
  // The player's controller dismisses itself before it forwards the tap; the page only lets go of it. The
  // lesson server keeps running for the next play.
  closePlayer();
}

void QMCacheController::playerOnClickedLast(ZBPlayer& /*player*/, const std::optional<ns::URL>& /*url*/) {
  moveBy(-1, kFirstLessonWarning);
}

void QMCacheController::playerOnClickedNext(ZBPlayer& /*player*/, const std::optional<ns::URL>& /*url*/) {
  moveBy(1, kLastLessonWarning);
}

void QMCacheController::closePlayer() {
  if (!playerController_) {
    return;
  }
  if (const std::shared_ptr<ZBPlayer>& player = playerController_->playerView()) {
    player->breakMedia();
  }
  playerController_->setDelegate(nullptr);
  playerController_.reset();
}

void QMCacheController::saveLearningProgress() {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<app::QMCourse> lesson = courseOf(playingNode_.get());
  const std::shared_ptr<ZBPlayer> player = playerController_ ? playerController_->playerView() : nullptr;
  if (lesson && player) {
    QMLearningPosition::save(lesson, player->progressSec());
  }
}

// Notifications

void QMCacheController::QMDLSuccessHandler(const ns::Notification& /*notification*/) {
  resetCourseArray();
  setupSubviews();
}

void QMCacheController::QMDLPauseAllHandler(const ns::Notification& /*notification*/) {
  if (pauseAllBtn_) {
    setPauseAllState(kOffersStartAll);
  }
}

void QMCacheController::applicationWillResignActive(const ns::Notification& /*notification*/) {
  if (playerController_ && playerController_->playerView()) {
    playerController_->playerView()->setStalled(true);
  }
  saveLearningProgress();
}

void QMCacheController::applicationBecomeActive(const ns::Notification& /*notification*/) {
  if (!localServer_) {
    localServer_ = std::make_unique<QMLessonServer>();
  }
  if (const ns::Result<std::uint16_t> port = localServer_->runningPort(); !port.ok()) {
    app::consoleLog("lesson server did not start: " + app::consoleTextOfError(port.error()));
  }
}

// Messages

void QMCacheController::showWarnningWithText(const std::string& text) {
  ui::ProgressHUD::showAlertWithText(text, kWarningSeconds);
}

void QMCacheController::showFileErrorAlert() {
  auto alert =
      std::make_shared<uikit::AlertView>("", kFileErrorMessage, std::weak_ptr<uikit::AlertViewDelegate>(),
                                         std::string(kCancelTitle), std::vector<std::string>{});
  alert->show();
}

}  // namespace learning
