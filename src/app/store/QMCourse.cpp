#include "app/store/QMCourse.h"

#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "app/store/TextOrder.h"
#include "platform/foundation/check/Check.h"

namespace app {

cd::EntityDescription QMCourse::entityDescription() {
  using cd::AttributeType;
  const std::string entity(kEntityName);
  return cd::EntityDescription(
      entity, cd::makeObjectOf<QMCourse>,
      {{"tagID", AttributeType::kText, cd::AttributeIndexing::kIndexed},
       {"courseID", AttributeType::kText},
       {"videoID", AttributeType::kText},
       {"courseName", AttributeType::kText},
       {"teacherName", AttributeType::kText},
       {"isNew", AttributeType::kInteger},
       {"level", AttributeType::kInteger},
       {"type", AttributeType::kInteger},
       {"cwCode", AttributeType::kText},
       {"videoURL", AttributeType::kText},
       {std::string(kCachedVideoKey), AttributeType::kInteger},
       {std::string(kCachingVideoKey), AttributeType::kInteger}},
      {{"lowLevelCourse", entity, cd::Cardinality::kToMany, "upLevelCourse", cd::DeleteRule::kCascade},
       {"ownByStage", std::string(QMStage::kEntityName), cd::Cardinality::kToOne, "ownCourse",
        cd::DeleteRule::kNullify},
       {"upLevelCourse", entity, cd::Cardinality::kToOne, "lowLevelCourse", cd::DeleteRule::kNullify},
       {"fileCacheInfo", std::string(QMFileCacheInfo::kEntityName), cd::Cardinality::kToOne, "course",
        cd::DeleteRule::kCascade}});
}

std::vector<std::shared_ptr<QMCourse>> QMCourse::lowLevelCourse() const {
  return relatedObjectsAs<QMCourse>(kLowLevelCourse);
}

std::shared_ptr<QMStage> QMCourse::ownByStage() const {
  return relatedObjectAs<QMStage>(kOwnByStage);
}

void QMCourse::setOwnByStage(const std::shared_ptr<QMStage>& stage) {
  QM_DCHECK_MAIN_THREAD();
  setRelatedObject(kOwnByStage, stage);
}

std::shared_ptr<QMCourse> QMCourse::upLevelCourse() const {
  return relatedObjectAs<QMCourse>(kUpLevelCourse);
}

void QMCourse::setUpLevelCourse(const std::shared_ptr<QMCourse>& parent) {
  QM_DCHECK_MAIN_THREAD();
  setRelatedObject(kUpLevelCourse, parent);
}

std::shared_ptr<QMFileCacheInfo> QMCourse::fileCacheInfo() const {
  return relatedObjectAs<QMFileCacheInfo>(kFileCacheInfo);
}

std::shared_ptr<QMCountedNode> QMCourse::counterParent() const {
  if (std::shared_ptr<QMCourse> parent = upLevelCourse()) {
    return parent;
  }
  return ownByStage();
}

std::vector<std::shared_ptr<QMCourse>> QMCourse::sortedCourseArray() const {
  return lowLevelCourse();
}

std::shared_ptr<QMCourse> QMCourse::rootCourse() const {
  std::shared_ptr<QMCourse> node = selfAs<QMCourse>();
  while (std::shared_ptr<QMCourse> parent = node->upLevelCourse()) {
    node = std::move(parent);
  }
  return node;
}

std::shared_ptr<QMSubject> QMCourse::subject() const {
  const std::shared_ptr<QMStage> stage = rootCourse()->ownByStage();
  return stage != nullptr ? stage->ownBySubject() : nullptr;
}

bool QMCourse::isNearlyPlayed() const {
  if (!isLesson()) {
    return false;
  }
  const std::shared_ptr<QMSubject> owner = subject();
  const std::optional<std::string> id = courseID();
  return owner != nullptr && id && owner->onClassID() == id;
}

bool QMCourse::holdsLessonsIn(QMDownloadPhase phase) const {
  const std::optional<std::int64_t> counter =
      phase == QMDownloadPhase::kDone ? cachedVideo() : cachingVideo();
  if (counter.value_or(0) > 0) {
    return true;
  }
  const std::shared_ptr<QMFileCacheInfo> record = isLesson() ? fileCacheInfo() : nullptr;
  return record != nullptr && downloadPhaseOf(record->status()) == phase;
}

std::vector<std::shared_ptr<QMCourse>> QMCourse::sortedByCourseID(
    std::vector<std::shared_ptr<QMCourse>> nodes) {
  QM_DCHECK_MAIN_THREAD();
  return sortedByText(std::move(nodes), [](const QMCourse& node) { return node.courseID(); });
}

std::vector<std::shared_ptr<QMCourse>> QMCourse::nodesHoldingLessonsIn(
    std::vector<std::shared_ptr<QMCourse>> nodes, QMDownloadPhase phase) {
  QM_DCHECK_MAIN_THREAD();
  std::erase_if(nodes,
                [phase](const std::shared_ptr<QMCourse>& node) { return !node->holdsLessonsIn(phase); });
  return sortedByCourseID(std::move(nodes));
}

std::vector<std::shared_ptr<QMCourse>> QMCourse::cachingCourse() const {
  return nodesHoldingLessonsIn(lowLevelCourse(), QMDownloadPhase::kUnderway);
}

std::vector<std::shared_ptr<QMCourse>> QMCourse::cachedCourse() const {
  return nodesHoldingLessonsIn(lowLevelCourse(), QMDownloadPhase::kDone);
}

bool QMCourse::isHaveCourseWithStatus(std::int64_t status) const {
  if (isLesson()) {
    const std::shared_ptr<QMFileCacheInfo> record = fileCacheInfo();
    const std::int64_t recordStatus = record != nullptr ? record->status().value_or(0) : 0;
    return recordStatus == status;
  }
  for (const std::shared_ptr<QMCourse>& child : lowLevelCourse()) {
    if (child->isHaveCourseWithStatus(status)) {
      return true;
    }
  }
  return false;
}

std::vector<std::shared_ptr<QMCourse>> QMCourse::courseArrayWith(std::int64_t status) const {
  std::vector<std::shared_ptr<QMCourse>> children = lowLevelCourse();
  std::erase_if(children, [status](const std::shared_ptr<QMCourse>& child) {
    return !child->isHaveCourseWithStatus(status);
  });
  return sortedByCourseID(std::move(children));
}

}  // namespace app
