#include "learning/downloads/QMDownloadHelper.h"

#include <utility>
#include <vector>

#include "app/helpers/MyButton.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "app/store/ConsoleLog.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMCourse.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMStage.h"
#include "app/store/QMTask.h"
#include "learning/downloads/QMSignedPlaylistURL.h"
#include "learning/downloads/SegmentURL.h"
#include "learning/downloads/ZBM3U8.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/text/StringEncoding.h"
#include "platform/net/HTTPHeaderFields.h"
#include "platform/outside/Reachability.h"
#include "ui/hud/ProgressHUD.h"

namespace learning {

namespace {

constexpr char kPlaylistFileName[] = "index.m3u8";
constexpr char kKeyFileName[] = "K.bin";
constexpr char kCellularPauseText[] = "非WiFi网络环境，暂停缓存";
constexpr double kCellularPauseSeconds = 2.0;
constexpr std::string_view kHttpScheme = "http://";
constexpr std::string_view kStoreErrorDomain = "com.quillmark.downloads";

std::shared_ptr<QMDownloadHelper>& sharedSlot() {
  static std::shared_ptr<QMDownloadHelper> shared;
  return shared;
}

std::vector<std::shared_ptr<app::QMFileCacheInfo>> recordsWhere(const cd::Predicate& predicate) {
  return app::QMCoreDataHelper::sharedInstance().fetchEntitiesOf<app::QMFileCacheInfo>(predicate,
                                                                                       {"course", "ownTask"});
}

cd::Predicate statusIs(std::int64_t status) {
  return cd::Predicate::equals(std::string(app::QMFileCacheInfo::kStatusKey), ns::Value(status));
}

cd::Predicate statusIsNot(std::int64_t status) {
  return cd::Predicate::compare(std::string(app::QMFileCacheInfo::kStatusKey),
                                cd::ComparisonOperator::kNotEqualTo, ns::Value(status));
}

std::int64_t statusOf(const app::QMFileCacheInfo& record) {
  return record.status().value_or(app::kQMDownloadNotQueued);
}

// Mends the scheme of a URL written "HTTP://..." or with a lost slash ("http:/host/..."): both become
// "http://...". Any other URL is returned as it is.
std::string repairedURL(std::string url) {
  const std::string scheme = ns::lowercaseASCII(std::string_view(url).substr(0, kHttpScheme.size()));
  if (scheme == kHttpScheme) {
    url.replace(0, kHttpScheme.size(), kHttpScheme);
  } else if (scheme.starts_with(kHttpScheme.substr(0, kHttpScheme.size() - 1))) {
    url.replace(0, kHttpScheme.size() - 1, kHttpScheme);
  }
  return url;
}

ns::Error storeError(const std::string& description) {
  return ns::Error(std::string(kStoreErrorDomain), 1,
                   {{std::string(ns::kLocalizedDescriptionKey), description}});
}

// Writes `bytes` to `folder`/`name` through a temporary file and a rename, and checks that the stored file
// holds exactly as many bytes. A lesson's files can always be fetched again, so they are made safe against
// the process's crash without waiting for the disk each time.
ns::Status writeLessonFile(const std::string& folder, const std::string& name, const ns::Data& bytes) {
  const ns::FileManager& files = ns::FileManager::defaultManager();
  const std::string path = folder + "/" + name;
  if (ns::Status written = files.createFileAtPath(path, bytes, ns::WriteDurability::kSurvivesProcessCrash);
      !written) {
    return written;
  }
  ns::Result<ns::FileAttributes> stored = files.attributesOfItemAtPath(path);
  if (!stored) {
    return stored.error();
  }
  if (stored->size != bytes.size()) {
    return storeError("the stored size differs from the bytes received");
  }
  return {};
}

ns::Result<ns::Data> bundledKeyFile() {
  const std::optional<std::string> path = ns::Bundle::mainBundle()->pathForResource("K", "bin");
  if (!path) {
    return storeError("the bundle has no K.bin");
  }
  return ns::FileManager::defaultManager().contentsAtPath(*path);
}

}  // namespace

const std::shared_ptr<QMDownloadHelper>& QMDownloadHelper::sharedInstance() {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<QMDownloadHelper>& shared = sharedSlot();
  if (!shared) {
    shared.reset(new QMDownloadHelper());
    shared->courseDataModel_->setDelegate(shared);
    ns::NotificationCenter::defaultCenter().addObserver(
        shared, &QMDownloadHelper::reachabilityChanged,
        std::string(outside::kReachabilityChangedNotification), nullptr);
  }
  return shared;
}

void QMDownloadHelper::resetSharedInstanceForTesting() {
  if (std::shared_ptr<QMDownloadHelper> shared = std::exchange(sharedSlot(), nullptr)) {
    shared->cancelCurrentConnection();
  }
}

QMDownloadHelper::QMDownloadHelper() : courseDataModel_(std::make_shared<app::QMCourseDataModel>()) {}

void QMDownloadHelper::add(const std::shared_ptr<app::QMCourse>& lesson) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<app::QMFileCacheInfo> record = lesson ? lesson->fileCacheInfo() : nullptr;
  if (record) {
    const std::int64_t status = statusOf(*record);
    if (status == app::kQMDownloadNotQueued || status == app::kQMDownloadPaused ||
        status == app::kQMDownloadFailed) {
      record->setStatus(app::kQMDownloadWaiting);
      app::QMCoreDataHelper::sharedInstance().saveContext();
    }
  }
  launchDownloader();
}

void QMDownloadHelper::launchDownloader() {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<app::QMFileCacheInfo> record = currentFCI_.lock();
  if (!isWorking() || !record || statusOf(*record) == app::kQMDownloadPaused ||
      statusOf(*record) == app::kQMDownloadFailed) {
    next();
  }
}

void QMDownloadHelper::next() {
  step_ = Step::kIdle;
  std::vector<std::shared_ptr<app::QMFileCacheInfo>> running =
      recordsWhere(statusIs(app::kQMDownloadRunning));
  std::vector<std::shared_ptr<app::QMFileCacheInfo>> waiting =
      recordsWhere(statusIs(app::kQMDownloadWaiting));
  const std::shared_ptr<app::QMFileCacheInfo> chosen =
      !running.empty() ? running.front() : (!waiting.empty() ? waiting.front() : nullptr);
  // A transfer of another lesson must never run on once this one is chosen: its bytes would land in the
  // new lesson's folder.
  if (chosen != currentFCI_.lock()) {
    cancelCurrentConnection();
  }
  if (!chosen) {
    currentFCI_.reset();
    return;
  }
  setCurrentFCI(chosen);
}

QMDownloadHelper::Step QMDownloadHelper::workStepOf(const app::QMFileCacheInfo* record) {
  return record && record->taskCount().value_or(0) != 0 ? Step::kSegment : Step::kPlaylist;
}

void QMDownloadHelper::setCurrentFCI(const std::shared_ptr<app::QMFileCacheInfo>& record) {
  currentFCI_ = record;
  record->setStatus(app::kQMDownloadRunning);
  step_ = Step::kServerTime;
  courseDataModel_->networkGetServerTime();
}

void QMDownloadHelper::networkGetServerTimeSuccess(double serverTime) {
  // A reply that no lesson waits for any more (its lesson was deleted or paused meanwhile, or an earlier
  // reply already set the work going) changes nothing: it must not choose a lesson of its own.
  if (step_ != Step::kServerTime) {
    return;
  }
  const std::shared_ptr<app::QMFileCacheInfo> record = currentFCI_.lock();
  const std::shared_ptr<app::QMCourse> lesson = record ? record->course() : nullptr;
  if (lesson) {
    const std::string url = QMSignedPlaylistURL::m3u8VideoURLWithServerTime(
        *lesson, serverTime, QMSignedPlaylistURL::Use::kDownload);
    app::consoleLog("m3u8文件下载地址：" + url);
    record->setFileURL(url);
  }
  run();
}

void QMDownloadHelper::networkGetServerTimeFailed() {
  if (step_ != Step::kServerTime) {
    return;
  }
  if (isHeldByCellularRule()) {
    showPauseAllAlert();
    return;
  }
  const std::shared_ptr<app::QMFileCacheInfo> record = currentFCI_.lock();
  if (record && record->status()) {
    currentFCIDownloadFailed();
  }
}

void QMDownloadHelper::run() {
  if (isWorking()) {
    return;
  }
  const std::shared_ptr<app::QMFileCacheInfo> record = currentFCI_.lock();
  step_ = workStepOf(record.get());
  if (record && record->ownTask().empty() && record->taskCount().value_or(0) > 0) {
    if (statusOf(*record) != app::kQMDownloadNotQueued) {
      record->setStatus(app::kQMDownloadDone);
      record->setProgress(100);
      app::QMCoreDataHelper::sharedInstance().saveContext();
    }
    next();
    return;
  }
  if (record && statusOf(*record) == app::kQMDownloadRunning) {
    startNewURLRequest();
  } else {
    next();
  }
}

void QMDownloadHelper::startNewURLRequest() {
  if (transfer_) {
    app::consoleLog("a transfer is running: " + currentURL_);
    return;
  }
  const std::shared_ptr<app::QMFileCacheInfo> record = currentFCI_.lock();
  std::string url;
  currentTask_.reset();
  const Step step = workStepOf(record.get());
  if (step == Step::kSegment) {
    const std::vector<std::shared_ptr<app::QMTask>> pending = record->ownTask();
    if (!pending.empty()) {
      currentTask_ = pending.front();
      url = pending.front()->taskURL().value_or("");
    }
    app::consoleLog("\nTS下载地址:" + url + " ");
  } else {
    url = record ? record->fileURL().value_or("") : "";
    app::consoleLog("\nm3u8下载地址:" + url + " ");
  }
  if (url.empty()) {
    currentFCIDownloadFailed();
    return;
  }
  currentURL_ = repairedURL(std::move(url));
  step_ = step;
  std::weak_ptr<QMDownloadHelper> weakSelf = std::static_pointer_cast<QMDownloadHelper>(shared_from_this());
  const std::size_t maximumSize = step == Step::kSegment ? QMDownloadTransfer::kMaximumSegmentSize
                                                         : QMDownloadTransfer::kMaximumPlaylistSize;
  transfer_ = QMDownloadTransfer::start(currentURL_, maximumSize, [weakSelf](ns::Result<ns::Data> body) {
    if (std::shared_ptr<QMDownloadHelper> self = weakSelf.lock()) {
      self->transferEnded(std::move(body));
    }
  });
}

void QMDownloadHelper::transferEnded(ns::Result<ns::Data> body) {
  // The ended transfer stays alive until this returns: it is still calling.
  const std::shared_ptr<QMDownloadTransfer> ended = std::exchange(transfer_, nullptr);
  const Step endedStep = std::exchange(step_, Step::kIdle);
  if (!body) {
    app::consoleLog("!!!!!!!!!!请求失败：" + app::consoleTextOfError(body.error()));
    const bool rejected = body.error().domain() == kQMDownloadTransferErrorDomain;
    if (!rejected && isHeldByCellularRule()) {
      showPauseAllAlert();
    } else {
      currentFCIDownloadFailed();
    }
    return;
  }
  if (isHeldByCellularRule()) {
    showPauseAllAlert();
    return;
  }
  const std::shared_ptr<app::QMFileCacheInfo> record = currentFCI_.lock();
  if (!record) {
    app::consoleLog("no current lesson: the received data is dropped");
  } else if (statusOf(*record) == app::kQMDownloadRunning) {
    endedStep == Step::kSegment ? TSRequestFinished(*body) : m3u8FileRequestFinish(*body);
  }
}

void QMDownloadHelper::m3u8FileRequestFinish(const ns::Data& body) {
  const std::optional<std::string> text = ns::StringEncoding::utf8().decode(body);
  const std::optional<ZBM3U8Set> playlist = text ? ZBM3U8::decodeM3U8IndexContext(*text) : std::nullopt;
  // A playlist without one segment that can be fetched and stored would only be fetched again and again.
  if (!playlist || playlist->tsURIs().empty()) {
    currentFCIDownloadFailed();
    return;
  }
  const std::optional<std::string> folder = currentFCIDLPath();
  const ns::Result<ns::Data> key = bundledKeyFile();
  if (!folder || !key || !writeLessonFile(*folder, kKeyFileName, *key) ||
      !writeLessonFile(*folder, kPlaylistFileName, body)) {
    currentFCIDownloadFailed();
    return;
  }
  createTSTaskWithM3U8Set(*playlist);
  startNewURLRequest();
}

void QMDownloadHelper::createTSTaskWithM3U8Set(const ZBM3U8Set& playlist) {
  const std::shared_ptr<app::QMFileCacheInfo> record = currentFCI_.lock();
  app::QMCoreDataHelper& store = app::QMCoreDataHelper::sharedInstance();
  record->setTaskCount(static_cast<std::int64_t>(playlist.tsURIs().size()));
  const std::shared_ptr<cd::ManagedObjectContext> context = store.managedObjectContext();
  if (context && record->ownTask().empty()) {
    for (const std::string& url : playlist.tsURIs()) {
      auto task = std::static_pointer_cast<app::QMTask>(
          context->insertNewObjectForEntityForName(app::QMTask::kEntityName));
      task->setTaskURL(url);
      task->setOwnByFileCache(record);
    }
  }
  store.saveContext();
}

void QMDownloadHelper::TSRequestFinished(const ns::Data& body) {
  const std::shared_ptr<app::QMFileCacheInfo> record = currentFCI_.lock();
  const std::optional<std::string> name = segmentFileName(currentURL_);
  const std::optional<std::string> folder = currentFCIDLPath();
  if (!name || !folder) {
    currentFCIDownloadFailed();
    return;
  }
  if (ns::Status written = writeLessonFile(*folder, *name, body); !written) {
    app::consoleLog("segment not stored: " + app::consoleTextOfError(written.error()));
    currentFCIDownloadFailed();
    return;
  }
  app::QMCoreDataHelper& store = app::QMCoreDataHelper::sharedInstance();
  if (const std::shared_ptr<app::QMTask> task = currentTask_.lock(); task && store.managedObjectContext()) {
    store.managedObjectContext()->deleteObject(*task);
  }
  const std::size_t pending = record->ownTask().size();
  if (pending > 0) {
    const double taskCount = static_cast<double>(record->taskCount().value_or(1));
    record->setProgress(static_cast<std::int64_t>((1.0 - static_cast<double>(pending) / taskCount) * 100.0));
    startNewURLRequest();
  } else {
    record->setStatus(app::kQMDownloadDone);
    record->setProgress(100);
    ns::NotificationCenter::defaultCenter().postNotificationName(kQMDLSuccessNotification, record);
    next();
  }
  store.saveContext();
}

std::optional<std::string> QMDownloadHelper::currentFCIDLPath() {
  const std::shared_ptr<app::QMFileCacheInfo> record = currentFCI_.lock();
  const std::optional<std::string> folder = record ? record->lessonFolderPath() : std::nullopt;
  if (!folder ||
      !ns::FileManager::defaultManager().createDirectoryAtPath(*folder, ns::IntermediateDirectories::kYes)) {
    app::consoleLog("~~Failed~~ 创建下载路径失败");
    return std::nullopt;
  }
  app::consoleLog("~~Success~~ 创建下载路径成功 \n\t" + *folder);
  return folder;
}

void QMDownloadHelper::currentFCIDownloadFailed() {
  const std::shared_ptr<app::QMFileCacheInfo> record = currentFCI_.lock();
  app::consoleLog("下载失败:" + (record ? record->fileDocment().value_or("") : std::string("(null)")));
  if (record && statusOf(*record) == app::kQMDownloadRunning) {
    record->setStatus(app::kQMDownloadFailed);
    app::QMCoreDataHelper::sharedInstance().saveContext();
  }
  next();
}

void QMDownloadHelper::cancelCurrentConnection() {
  transfer_.reset();
  step_ = Step::kIdle;
  currentFCI_.reset();
  currentURL_.clear();
  currentTask_.reset();
}

void QMDownloadHelper::pauseAll() {
  QM_DCHECK_MAIN_THREAD();
  cancelCurrentConnection();
  for (const std::shared_ptr<app::QMFileCacheInfo>& record : recordsWhere(cd::Predicate::allOf(
           {statusIsNot(app::kQMDownloadNotQueued), statusIsNot(app::kQMDownloadDone)}))) {
    record->setStatus(app::kQMDownloadPaused);
  }
  app::QMCoreDataHelper::sharedInstance().saveContext();
  ns::NotificationCenter::defaultCenter().postNotificationName(kQMDLPauseAllNotification);
}

void QMDownloadHelper::startAll() {
  QM_DCHECK_MAIN_THREAD();
  std::vector<std::shared_ptr<app::QMFileCacheInfo>> stopped = recordsWhere(statusIs(app::kQMDownloadPaused));
  for (std::shared_ptr<app::QMFileCacheInfo>& failed : recordsWhere(statusIs(app::kQMDownloadFailed))) {
    stopped.push_back(std::move(failed));
  }
  if (stopped.empty()) {
    return;
  }
  for (const std::shared_ptr<app::QMFileCacheInfo>& record : stopped) {
    record->setStatus(app::kQMDownloadWaiting);
  }
  app::QMCoreDataHelper::sharedInstance().saveContext();
  currentFCI_.reset();
  launchDownloader();
}

void QMDownloadHelper::deleteVideo(const std::shared_ptr<app::QMCourse>& lesson) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<app::QMFileCacheInfo> record = lesson ? lesson->fileCacheInfo() : nullptr;
  app::QMCoreDataHelper& store = app::QMCoreDataHelper::sharedInstance();
  const std::shared_ptr<cd::ManagedObjectContext> context = store.managedObjectContext();
  if (!record || !context) {
    return;
  }
  const bool isCurrent = record == currentFCI_.lock();
  record->setStatus(app::kQMDownloadNotQueued);
  record->setTaskCount(0);
  for (const std::shared_ptr<app::QMTask>& task : record->ownTask()) {
    context->deleteObject(*task);
  }
  context->deleteObject(*record);
  store.saveContext();
  if (isCurrent) {
    cancelCurrentConnection();
  }
}

void QMDownloadHelper::deleteCourse(const std::shared_ptr<app::QMCourse>& node) {
  if (!node) {
    return;
  }
  const std::vector<std::shared_ptr<app::QMCourse>> children = node->lowLevelCourse();
  if (children.empty()) {
    deleteVideo(node);
    return;
  }
  for (const std::shared_ptr<app::QMCourse>& child : children) {
    deleteCourse(child);
  }
}

void QMDownloadHelper::deleteStageCourse(const std::shared_ptr<app::QMStage>& stage) {
  QM_DCHECK_MAIN_THREAD();
  for (const std::shared_ptr<app::QMFileCacheInfo>& record :
       recordsWhere(statusIsNot(app::kQMDownloadNotQueued))) {
    const std::shared_ptr<app::QMCourse> lesson = record->course();
    const std::shared_ptr<app::QMCourse> root = lesson ? lesson->rootCourse() : nullptr;
    if (root && root->ownByStage() == stage) {
      deleteVideo(lesson);
    }
  }
}

void QMDownloadHelper::deleteAllCourse() {
  QM_DCHECK_MAIN_THREAD();
  for (const std::shared_ptr<app::QMFileCacheInfo>& record :
       recordsWhere(statusIsNot(app::kQMDownloadNotQueued))) {
    deleteVideo(record->course());
  }
}

void QMDownloadHelper::reachabilityChanged(const ns::Notification&) {
  if (app::QMAppServices::myReachable()->currentReachabilityStatus() == outside::NotReachable) {
    pauseAll();
  }
}

void QMDownloadHelper::showPauseAllAlert() {
  pauseAll();
  ui::ProgressHUD::showAlertWithText(kCellularPauseText, kCellularPauseSeconds);
}

bool QMDownloadHelper::isHeldByCellularRule() const {
  const app::QMUser& user = *app::QMUser::sharedInstance();
  return app::QMAppServices::myReachable()->currentReachabilityStatus() == outside::ReachableViaWWAN &&
         user.onlyWifiDown() && !user.keepRememberDown();
}

void QMDownloadHelper::alertViewDidOnClickedButton(app::ZBAlertView&, app::MyButton& button) {
  if (button.tag() == kGoOnButtonIndex) {
    run();
    app::QMUser::sharedInstance()->setKeepRememberDown(true);
  } else if (button.tag() == kCancelButtonIndex) {
    pauseAll();
    app::QMUser::sharedInstance()->setKeepRememberDown(false);
  }
}

}  // namespace learning
