#include "app/store/QMSubject.h"

#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMSeason.h"
#include "app/store/QMStage.h"
#include "app/store/ServerValue.h"
#include "app/store/TextOrder.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/text/DateFormatter.h"
#include "platform/foundation/values/TextNumbers.h"

namespace app {

namespace {

const ns::DateFormatter& classTimeFormatter() {
  static const ns::DateFormatter formatter(QMSubject::kClassTimeFormat, ns::DateFormatter::Zone::kGMT);
  return formatter;
}

}  // namespace

cd::EntityDescription QMSubject::entityDescription() {
  using cd::AttributeType;
  return cd::EntityDescription(std::string(kEntityName), cd::makeObjectOf<QMSubject>,
                               {{"subjectName", AttributeType::kText},
                                {"subjectID", AttributeType::kText, cd::AttributeIndexing::kIndexed},
                                {"courseID", AttributeType::kText},
                                {"iconID", AttributeType::kText},
                                {"stageCount", AttributeType::kText},
                                {"unitCount", AttributeType::kText},
                                {"classCount", AttributeType::kText},
                                {"onClassID", AttributeType::kText},
                                {"onClassProgress", AttributeType::kText},
                                {"onStageID", AttributeType::kText},
                                {"onClassTime", AttributeType::kText},
                                {"isAvailable", AttributeType::kText},
                                {"hasTry", AttributeType::kText},
                                {"isFinished", AttributeType::kText},
                                {std::string(kCachedVideoKey), AttributeType::kInteger},
                                {std::string(kCachingVideoKey), AttributeType::kInteger},
                                {"userID", AttributeType::kText}},
                               {{"ownStage", std::string(QMStage::kEntityName), cd::Cardinality::kToMany,
                                 "ownBySubject", cd::DeleteRule::kCascade},
                                {"ownBySeason", std::string(QMSeason::kEntityName), cd::Cardinality::kToOne,
                                 "ownSubject", cd::DeleteRule::kNullify}});
}

std::vector<std::shared_ptr<QMStage>> QMSubject::ownStage() const {
  return relatedObjectsAs<QMStage>(kOwnStage);
}

std::shared_ptr<QMSeason> QMSubject::ownBySeason() const {
  return relatedObjectAs<QMSeason>(kOwnBySeason);
}

void QMSubject::setOwnBySeason(const std::shared_ptr<QMSeason>& season) {
  QM_DCHECK_MAIN_THREAD();
  setRelatedObject(kOwnBySeason, season);
}

std::string QMSubject::subjectStaus() const {
  switch (ns::intValueOfText(isAvailable().value_or(""))) {
    case 0:
      return "课程未购买";
    case 2:
      return "课程已冻结";
    case 3:
      return "课程已退课";
    case 4:
      return "课程已过期";
    default:
      return "正常";
  }
}

std::vector<std::shared_ptr<QMStage>> QMSubject::sortedStageArray() const {
  return ownStage();
}

std::vector<std::shared_ptr<QMStage>> QMSubject::getAlreadyCacheStage() const {
  std::vector<std::shared_ptr<QMStage>> stages;
  for (std::shared_ptr<QMStage>& stage : ownStage()) {
    if (stage->cachedVideo().value_or(0) > 0 || stage->cachingVideo().value_or(0) > 0) {
      stages.push_back(std::move(stage));
    }
  }
  return sortedByText(std::move(stages), [](const QMStage& stage) { return stage.stageID(); });
}

std::shared_ptr<QMStage> QMSubject::getNearlyPlayedStage() const {
  const std::optional<std::string> stageID = onStageID();
  if (!stageID || stageID->empty()) {
    return nullptr;
  }
  for (std::shared_ptr<QMStage>& stage : ownStage()) {
    if (stage->stageID() == stageID) {
      return std::move(stage);
    }
  }
  return nullptr;
}

void QMSubject::updatePropertyWithDic(const ns::Value& dic) {
  QM_DCHECK_MAIN_THREAD();
  const std::string subjectID = serverText(dic.find("courseId"));
  setSubjectID(subjectID);
  setCourseID(subjectID);
  setSubjectName(serverTextOrNil(dic.find("name")));
  setIconID(serverText(dic.find("id")));
  const ns::Value noCounts;
  const ns::Value* countMap = dic.find("countMap");
  const ns::Value& counts = countMap != nullptr ? *countMap : noCounts;
  setStageCount(serverText(counts.find("chapterCount")));
  setUnitCount(serverText(counts.find("unitCount")));
  setClassCount(serverText(counts.find("classCount")));

  updateLearningPosition(dic);

  setIsAvailable(serverText(dic.find("available")));
  if (serverIntegerOrNil(dic.find("expired")) == 1) {
    setIsAvailable("4");
  }
  setHasTry(serverText(dic.find("hasTry")));
  setIsFinished(serverText(dic.find("isFinished")));
  setUserID(QMCoreDataHelper::sharedInstance().currentUserId());

  if (const ns::Value* stageList = dic.find("stageList")) {
    updateStages(*stageList);
  }
}

void QMSubject::updateLearningPosition(const ns::Value& dic) {
  const ns::Value* onLearning = dic.find("onLearning");
  if (onLearning == nullptr || !onLearning->isDictionary() || onLearning->count() == 0) {
    return;
  }
  const std::optional<std::string> serverTime = serverTextOrNil(onLearning->find("date"));
  const std::optional<ns::Date> serverDate =
      serverTime ? classTimeFormatter().dateFromString(*serverTime) : std::nullopt;
  if (!serverDate) {
    // Without a readable server time there is nothing to compare; the local position stays as it is.
    return;
  }
  const std::optional<std::string> localTime = onClassTime();
  const std::optional<ns::Date> localDate =
      localTime ? classTimeFormatter().dateFromString(*localTime) : std::nullopt;
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  if (localDate && *localDate > *serverDate) {
    center.postNotificationName(std::string(kUpdateServerProgressNotification), self());
    return;
  }
  setOnStageID(serverValidatedText(dic.find("onStageId")));
  setOnClassID(serverText(onLearning->find("id")));
  setOnClassTime(serverTime);
  center.postNotificationName(std::string(kGetServerProgressNotification), self());
}

void QMSubject::updateStages(const ns::Value& stageList) {
  if (!stageList.isArray()) {
    return;
  }
  const std::string subjectID = this->subjectID().value_or("");
  for (const ns::Value& entry : stageList.asArray()) {
    if (!entry.isDictionary()) {
      continue;
    }
    ns::Value stageDic = entry;
    stageDic.mutableDictionary()["tagID"] = ns::Value(subjectID + "_" + serverText(entry.find("nodeId")));
    if (std::shared_ptr<QMStage> stage = QMCoreDataHelper::sharedInstance().createStageWithDic(stageDic)) {
      stage->setOwnBySubject(selfAs<QMSubject>());
    }
  }
}

}  // namespace app
