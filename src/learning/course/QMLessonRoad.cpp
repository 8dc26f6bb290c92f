#include "learning/course/QMLessonRoad.h"

#include "app/session/QMUser.h"
#include "app/store/QMCourse.h"
#include "app/store/QMDownloadStatus.h"
#include "app/store/QMFileCacheInfo.h"

namespace learning {

bool isLessonDownloaded(const app::QMCourse& lesson) {
  const std::shared_ptr<app::QMFileCacheInfo> record = lesson.fileCacheInfo();
  return record && record->status() == app::kQMDownloadDone;
}

bool mustAskBeforeOnlinePlay(outside::NetworkStatus network, const app::QMUser& user) {
  return network == outside::ReachableViaWWAN && user.onlyWifiPlay() && !user.keepRememberPlay();
}

QMLessonRoad lessonRoadFor(const app::QMCourse& lesson, outside::NetworkStatus network,
                           const app::QMUser& user) {
  if (isLessonDownloaded(lesson)) {
    return QMLessonRoad::kOffline;
  }
  return mustAskBeforeOnlinePlay(network, user) ? QMLessonRoad::kAskFirst : QMLessonRoad::kOnline;
}

}  // namespace learning
