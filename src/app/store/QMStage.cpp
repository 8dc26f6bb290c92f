#include "app/store/QMStage.h"

#include <algorithm>

#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMCourse.h"
#include "app/store/QMDownloadStatus.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMSubject.h"
#include "app/store/ServerValue.h"
#include "platform/foundation/check/Check.h"

namespace app {

namespace {

void collectLessons(const std::vector<std::shared_ptr<QMCourse>>& nodes,
                    std::initializer_list<std::int64_t> statuses,
                    std::vector<std::shared_ptr<QMCourse>>& lessons) {
  for (const std::shared_ptr<QMCourse>& node : nodes) {
    if (std::shared_ptr<QMFileCacheInfo> record = node->fileCacheInfo()) {
      const std::int64_t status = record->status().value_or(kQMDownloadNotQueued);
      if (std::find(statuses.begin(), statuses.end(), status) != statuses.end()) {
        lessons.push_back(node);
      }
    }
    collectLessons(node->sortedCourseArray(), statuses, lessons);
  }
}

}  // namespace

cd::EntityDescription QMStage::entityDescription() {
  using cd::AttributeType;
  return cd::EntityDescription(std::string(kEntityName), cd::makeObjectOf<QMStage>,
                               {{"tagID", AttributeType::kText, cd::AttributeIndexing::kIndexed},
                                {"stageID", AttributeType::kText},
                                {"stageName", AttributeType::kText},
                                {"isNew", AttributeType::kInteger},
                                {std::string(kCachedVideoKey), AttributeType::kInteger},
                                {std::string(kCachingVideoKey), AttributeType::kInteger}},
                               {{"ownBySubject", std::string(QMSubject::kEntityName), cd::Cardinality::kToOne,
                                 "ownStage", cd::DeleteRule::kNullify},
                                {"ownCourse", std::string(QMCourse::kEntityName), cd::Cardinality::kToMany,
                                 "ownByStage", cd::DeleteRule::kCascade}});
}

std::shared_ptr<QMSubject> QMStage::ownBySubject() const {
  return relatedObjectAs<QMSubject>(kOwnBySubject);
}

void QMStage::setOwnBySubject(const std::shared_ptr<QMSubject>& subject) {
  QM_DCHECK_MAIN_THREAD();
  setRelatedObject(kOwnBySubject, subject);
}

std::vector<std::shared_ptr<QMCourse>> QMStage::ownCourse() const {
  return relatedObjectsAs<QMCourse>(kOwnCourse);
}

std::shared_ptr<QMCountedNode> QMStage::counterParent() const {
  return ownBySubject();
}

void QMStage::updatePropertyWithDic(const ns::Value& dic) {
  QM_DCHECK_MAIN_THREAD();
  setTagID(serverText(dic.find("tagID")));
  setStageID(serverText(dic.find("nodeId")));
  setStageName(serverTextOrNil(dic.find("name")));
  setIsNew(serverIntegerOrNil(dic.find("isNew")));
}

std::vector<std::shared_ptr<QMCourse>> QMStage::sortedCourseArray() const {
  return ownCourse();
}

std::vector<std::shared_ptr<QMCourse>> QMStage::courseWithStatus(std::int64_t status) const {
  const cd::Predicate predicate = cd::Predicate::allOf(
      {cd::Predicate::isObject("course.ownByStage", self()), cd::Predicate::equals("status", status)});
  std::vector<std::shared_ptr<QMCourse>> roots;
  for (const std::shared_ptr<QMFileCacheInfo>& record :
       QMCoreDataHelper::sharedInstance().fetchEntitiesOf<QMFileCacheInfo>(predicate)) {
    std::shared_ptr<QMCourse> root = record->course()->rootCourse();
    if (std::find(roots.begin(), roots.end(), root) == roots.end()) {
      roots.push_back(std::move(root));
    }
  }
  return roots;
}

std::vector<std::shared_ptr<QMCourse>> QMStage::uncacheRootCourse() const {
  std::vector<std::shared_ptr<QMCourse>> courses;
  for (std::shared_ptr<QMCourse>& course : ownCourse()) {
    if (course->isHaveCourseWithStatus(kQMDownloadNotQueued)) {
      courses.push_back(std::move(course));
    }
  }
  return QMCourse::sortedByCourseID(std::move(courses));
}

std::vector<std::shared_ptr<QMCourse>> QMStage::lessonsWithStatusIn(
    std::initializer_list<std::int64_t> statuses) const {
  std::vector<std::shared_ptr<QMCourse>> lessons;
  collectLessons(ownCourse(), statuses, lessons);
  return lessons;
}

std::vector<std::shared_ptr<QMCourse>> QMStage::cachingVideoArray() const {
  return lessonsWithStatusIn({kQMDownloadRunning, kQMDownloadWaiting, kQMDownloadFailed});
}

std::vector<std::shared_ptr<QMCourse>> QMStage::pausingVideoArray() const {
  return lessonsWithStatusIn({kQMDownloadPaused});
}

std::vector<std::shared_ptr<QMCourse>> QMStage::cachingCourse() const {
  return QMCourse::nodesHoldingLessonsIn(ownCourse(), QMDownloadPhase::kUnderway);
}

std::vector<std::shared_ptr<QMCourse>> QMStage::cacheDoneCourse() const {
  return QMCourse::nodesHoldingLessonsIn(ownCourse(), QMDownloadPhase::kDone);
}

}  // namespace app
