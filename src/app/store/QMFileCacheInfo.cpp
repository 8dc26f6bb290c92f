#include "app/store/QMFileCacheInfo.h"

#include "app/store/ConsoleLog.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMCourse.h"
#include "app/store/QMTask.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/storage/FileManager.h"

namespace app {

namespace {

// True for a name that stays one folder deep when joined to a path.
bool isSinglePathComponent(const std::optional<std::string>& name) {
  return name && !name->empty() && *name != "." && *name != ".." && name->find('/') == std::string::npos &&
         name->find('\0') == std::string::npos;
}

}  // namespace

cd::EntityDescription QMFileCacheInfo::entityDescription() {
  using cd::AttributeType;
  return cd::EntityDescription(std::string(kEntityName), cd::makeObjectOf<QMFileCacheInfo>,
                               {{"fileDocment", AttributeType::kText},
                                {"fileName", AttributeType::kText},
                                {"fileURL", AttributeType::kText},
                                {"index", AttributeType::kInteger},
                                {std::string(kProgressKey), AttributeType::kInteger},
                                {std::string(kStatusKey), AttributeType::kInteger},
                                {"taskCount", AttributeType::kInteger}},
                               {{"course", std::string(QMCourse::kEntityName), cd::Cardinality::kToOne,
                                 "fileCacheInfo", cd::DeleteRule::kNullify},
                                {"ownTask", std::string(QMTask::kEntityName), cd::Cardinality::kToMany,
                                 "ownByFileCache", cd::DeleteRule::kCascade}});
}

std::shared_ptr<QMCourse> QMFileCacheInfo::course() const {
  return relatedObjectAs<QMCourse>(kCourse);
}

void QMFileCacheInfo::setCourse(const std::shared_ptr<QMCourse>& lesson) {
  QM_DCHECK_MAIN_THREAD();
  setRelatedObject(kCourse, lesson);
}

std::vector<std::shared_ptr<QMTask>> QMFileCacheInfo::ownTask() const {
  return relatedObjectsAs<QMTask>(kOwnTask);
}

void QMFileCacheInfo::setStatus(std::int64_t status) {
  QM_DCHECK_MAIN_THREAD();
  const QMDownloadPhase from = downloadPhaseOf(this->status());
  const QMDownloadPhase to = downloadPhaseOf(status);
  if (from != to) {
    moveCounters(from, to);
    if (to == QMDownloadPhase::kNotQueued) {
      removeLessonFolder(from);
    }
  }
  setIntegerValue(kStatus, status);
}

void QMFileCacheInfo::moveCounters(QMDownloadPhase from, QMDownloadPhase to) {
  const std::shared_ptr<QMCourse> lesson = course();
  const std::shared_ptr<QMCountedNode> first = lesson != nullptr ? lesson->counterParent() : nullptr;
  if (first == nullptr) {
    return;
  }
  if (from == QMDownloadPhase::kUnderway) {
    first->cachingVideoNumberChanged(-1);
  } else if (from == QMDownloadPhase::kDone) {
    first->cachedVideoNumberChanged(-1);
  }
  if (to == QMDownloadPhase::kUnderway) {
    first->cachingVideoNumberChanged(1);
  } else if (to == QMDownloadPhase::kDone) {
    first->cachedVideoNumberChanged(1);
  }
}

std::optional<std::string> QMFileCacheInfo::lessonFolderPath() const {
  const std::optional<std::string> userId = QMCoreDataHelper::sharedInstance().currentUserId();
  const std::optional<std::string> folder = fileDocment();
  if (!isSinglePathComponent(userId) || !isSinglePathComponent(folder)) {
    return std::nullopt;
  }
  return QMCoreDataHelper::sharedInstance().applicationDocumentsDirectory() + "/" + *userId + "/" + *folder;
}

void QMFileCacheInfo::removeLessonFolder(QMDownloadPhase from) const {
  const std::optional<std::string> path = lessonFolderPath();
  const ns::FileManager& files = ns::FileManager::defaultManager();
  if (from == QMDownloadPhase::kUnderway) {
    // An unfinished download may not have made its folder yet.
    consoleLog("删除本地文件：" + path.value_or("(null)"));
    if (!path) {
      consoleLog("下载文件删除失败");
      return;
    }
    if (files.fileExistsAtPath(*path)) {
      consoleLog(files.removeItemAtPath(*path).ok() ? "本地下载文件删除成功" : "下载文件删除失败");
    }
    return;
  }
  consoleLog(path && files.removeItemAtPath(*path).ok() ? "本地下载文件删除成功" : "本地下载文件删除失败");
}

}  // namespace app
