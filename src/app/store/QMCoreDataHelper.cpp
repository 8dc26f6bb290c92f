#include "app/store/QMCoreDataHelper.h"

#include "app/session/QMUser.h"
#include "app/store/ConsoleLog.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMSeason.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "app/store/QuillmarkModel.h"
#include "app/store/ServerValue.h"
#include "app/store/TextOrder.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/foundation/values/TextNumbers.h"

namespace app {

namespace {

std::unique_ptr<QMCoreDataHelper>& sharedSlot() {
  static std::unique_ptr<QMCoreDataHelper> shared;
  return shared;
}

// The start of every lesson folder's name in `stage`'s tree: "<subjectID>_@<stageID>_".
std::string lessonFolderPrefix(const std::shared_ptr<QMStage>& stage) {
  const std::shared_ptr<QMSubject> subject = stage != nullptr ? stage->ownBySubject() : nullptr;
  const std::string subjectID = subject != nullptr ? subject->subjectID().value_or("") : "";
  const std::string stageID = stage != nullptr ? stage->stageID().value_or("") : "";
  return subjectID + "_@" + stageID + "_";
}

void logUnresolvedError(const ns::Error& error) {
  consoleLog("Unresolved error " + consoleTextOfError(error) + ", " +
             ns::describe(ns::Value(error.userInfo())));
}

}  // namespace

QMCoreDataHelper& QMCoreDataHelper::sharedInstance() {
  QM_DCHECK_MAIN_THREAD();
  std::unique_ptr<QMCoreDataHelper>& shared = sharedSlot();
  if (shared == nullptr) {
    shared.reset(new QMCoreDataHelper());
  }
  return *shared;
}

void QMCoreDataHelper::resetSharedInstanceForTesting() {
  QM_DCHECK_MAIN_THREAD();
  sharedSlot().reset();
}

std::optional<std::string> QMCoreDataHelper::currentUserId() const {
  return userIdSource_ ? userIdSource_() : QMUser::sharedInstance()->userId();
}

ns::Value QMCoreDataHelper::currentUserIdValue() const {
  const std::optional<std::string> userId = currentUserId();
  return userId ? ns::Value(*userId) : ns::Value();
}

std::string QMCoreDataHelper::applicationDocumentsDirectory() const {
  return ns::Sandbox::documentsDirectory();
}

std::shared_ptr<const cd::ManagedObjectModel> QMCoreDataHelper::managedObjectModel() const {
  return quillmarkModel();
}

std::shared_ptr<cd::PersistentStoreCoordinator> QMCoreDataHelper::persistentStoreCoordinator() {
  QM_DCHECK_MAIN_THREAD();
  if (coordinator_ != nullptr || storeFailed_) {
    return coordinator_;
  }
  auto coordinator = std::make_shared<cd::PersistentStoreCoordinator>(managedObjectModel());
  ns::Status added =
      coordinator->addSQLiteStoreAtPath(applicationDocumentsDirectory() + "/" + std::string(kStoreFileName));
  if (!added) {
    // The learner's file stays where it is, untouched; the process carries on without a store.
    storeFailed_ = true;
    ns::Error error("YOUR_ERROR_DOMAIN", 9999,
                    ns::Dictionary{
                        {std::string(ns::kLocalizedDescriptionKey),
                         ns::Value("Failed to initialize the application's saved data")},
                        {"NSLocalizedFailureReason",
                         ns::Value("There was an error creating or loading the application's saved data.")},
                    });
    error.setUnderlyingError(added.error());
    logUnresolvedError(error);
    return nullptr;
  }
  coordinator_ = std::move(coordinator);
  return coordinator_;
}

std::shared_ptr<cd::ManagedObjectContext> QMCoreDataHelper::managedObjectContext() {
  QM_DCHECK_MAIN_THREAD();
  if (context_ == nullptr) {
    if (std::shared_ptr<cd::PersistentStoreCoordinator> coordinator = persistentStoreCoordinator()) {
      context_ = std::make_shared<cd::ManagedObjectContext>(std::move(coordinator));
    }
  }
  return context_;
}

void QMCoreDataHelper::saveContext() {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<cd::ManagedObjectContext> context = managedObjectContext();
  if (context == nullptr || !context->hasChanges()) {
    return;
  }
  ns::Status saved = context->save();
  if (!saved) {
    logUnresolvedError(saved.error());
  }
}

std::vector<std::shared_ptr<cd::ManagedObject>> QMCoreDataHelper::fetchEntityWith(
    std::string_view entityName) {
  QM_DCHECK_MAIN_THREAD();
  return fetchEntityWith(entityName, cd::Predicate::allOf({}), {});
}

std::vector<std::shared_ptr<cd::ManagedObject>> QMCoreDataHelper::fetchEntityWith(
    std::string_view entityName, cd::Predicate predicate, std::vector<std::string> relationship) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<cd::ManagedObjectContext> context = managedObjectContext();
  if (context == nullptr) {
    return {};
  }
  auto fetched = context->executeFetchRequest(
      cd::FetchRequest{std::string(entityName), std::move(predicate), std::move(relationship)});
  if (!fetched) {
    consoleLog("查询失败：" + consoleTextOfError(fetched.error()));
    return {};
  }
  return std::move(*fetched);
}

template <typename T>
std::shared_ptr<T> QMCoreDataHelper::existingOrNew(cd::ManagedObjectContext& context,
                                                   cd::Predicate predicate) {
  std::vector<std::shared_ptr<T>> existing = fetchEntitiesOf<T>(std::move(predicate));
  if (!existing.empty()) {
    return existing.front();
  }
  return std::static_pointer_cast<T>(context.insertNewObjectForEntityForName(T::kEntityName));
}

std::vector<std::shared_ptr<QMSubject>> QMCoreDataHelper::getUserSubject() {
  QM_DCHECK_MAIN_THREAD();
  return sortedByText(fetchEntitiesOf<QMSubject>(cd::Predicate::equals("userID", currentUserIdValue())),
                      [](const QMSubject& subject) { return subject.subjectID(); });
}

std::shared_ptr<QMSeason> QMCoreDataHelper::getSelectedSeason() {
  QM_DCHECK_MAIN_THREAD();
  std::vector<std::shared_ptr<QMSeason>> selected = fetchEntitiesOf<QMSeason>(cd::Predicate::allOf(
      {cd::Predicate::equals("userID", currentUserIdValue()), cd::Predicate::equals("isSelected", 1)}));
  return selected.empty() ? nullptr : selected.front();
}

std::shared_ptr<QMSeason> QMCoreDataHelper::createSeasonWithDic(const ns::Value& dic) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<cd::ManagedObjectContext> context = managedObjectContext();
  if (context == nullptr) {
    return nullptr;
  }
  std::shared_ptr<QMSeason> season = existingOrNew<QMSeason>(
      *context, cd::Predicate::allOf({cd::Predicate::equals("seasonId", serverText(dic.find("id"))),
                                      cd::Predicate::equals("userID", currentUserIdValue())}));
  season->updatePropertyWithDic(dic);
  saveContext();
  return season;
}

std::shared_ptr<QMSubject> QMCoreDataHelper::createSubjectWithDic(const ns::Value& dic) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<cd::ManagedObjectContext> context = managedObjectContext();
  if (context == nullptr) {
    return nullptr;
  }
  // An entry without a course id names no subject the learner holds: stored, it would be a row with nothing
  // in it in every list of subjects.
  const std::string subjectID = serverValidatedText(dic.find("courseId"));
  if (subjectID.empty()) {
    return nullptr;
  }
  std::shared_ptr<QMSubject> subject = existingOrNew<QMSubject>(
      *context, cd::Predicate::allOf({cd::Predicate::equals("subjectID", subjectID),
                                      cd::Predicate::equals("userID", currentUserIdValue())}));
  subject->updatePropertyWithDic(dic);
  saveContext();
  return subject;
}

std::shared_ptr<QMStage> QMCoreDataHelper::createStageWithDic(const ns::Value& dic) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<cd::ManagedObjectContext> context = managedObjectContext();
  if (context == nullptr) {
    return nullptr;
  }
  std::shared_ptr<QMStage> stage =
      existingOrNew<QMStage>(*context, cd::Predicate::equals("tagID", serverText(dic.find("tagID"))));
  stage->updatePropertyWithDic(dic);
  saveContext();
  return stage;
}

void QMCoreDataHelper::createCourseWithDic(const ns::Value& dic, const QMCourseParent& upModel) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<cd::ManagedObjectContext> context = managedObjectContext();
  if (context == nullptr) {
    return;
  }
  const std::shared_ptr<QMStage>* stage = std::get_if<std::shared_ptr<QMStage>>(&upModel);
  const std::shared_ptr<QMCourse>* parent = std::get_if<std::shared_ptr<QMCourse>>(&upModel);
  if ((stage != nullptr && *stage == nullptr) || (parent != nullptr && *parent == nullptr)) {
    return;
  }
  // The whole subtree is stored before the one save, so that a large tree costs one transaction.
  upsertCourse(*context, dic, upModel,
               lessonFolderPrefix(stage != nullptr ? *stage : (*parent)->rootCourse()->ownByStage()));
  saveContext();
}

void QMCoreDataHelper::upsertCourse(cd::ManagedObjectContext& context, const ns::Value& dic,
                                    const QMCourseParent& upModel, const std::string& folderPrefix) {
  const std::shared_ptr<QMStage>* stage = std::get_if<std::shared_ptr<QMStage>>(&upModel);
  const std::shared_ptr<QMCourse>* parent = std::get_if<std::shared_ptr<QMCourse>>(&upModel);
  const std::optional<std::string> parentTag = stage != nullptr ? (*stage)->tagID() : (*parent)->tagID();
  const std::string tagID = parentTag.value_or("") + "_" + serverText(dic.find("nodeId"));
  std::shared_ptr<QMCourse> course = existingOrNew<QMCourse>(context, cd::Predicate::equals("tagID", tagID));
  course->setTagID(tagID);
  course->setCourseID(serverText(dic.find("nodeId")));
  course->setCourseName(serverTextOrNil(dic.find("name")));
  course->setTeacherName(serverValidatedText(dic.find("teacher")));
  course->setIsNew(serverIntegerOrNil(dic.find("isNew")));
  course->setType(serverIntegerOrNil(dic.find("type")));
  course->setVideoID(serverText(dic.find("videoId")));
  if (const ns::Value* cwCode = dic.find("cwCode")) {
    course->setCwCode(serverText(cwCode));
  }
  if (stage != nullptr) {
    course->setLevel(1);
    course->setOwnByStage(*stage);
  } else {
    course->setLevel((*parent)->level().value_or(0) + 1);
    course->setUpLevelCourse(*parent);
  }
  const ns::Value* children = dic.find("children");
  if (children != nullptr && !children->isNull()) {
    if (children->isArray()) {
      for (const ns::Value& child : children->asArray()) {
        upsertCourse(context, child, course, folderPrefix);
      }
    }
  } else if (course->isLesson() && course->fileCacheInfo() == nullptr) {
    insertFileInfo(context, course, folderPrefix);
  }
}

std::shared_ptr<QMFileCacheInfo> QMCoreDataHelper::createFileInfoWithCourse(
    const std::shared_ptr<QMCourse>& lesson) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<cd::ManagedObjectContext> context = managedObjectContext();
  if (context == nullptr || lesson == nullptr) {
    return nullptr;
  }
  return insertFileInfo(*context, lesson, lessonFolderPrefix(lesson->rootCourse()->ownByStage()));
}

std::shared_ptr<QMFileCacheInfo> QMCoreDataHelper::insertFileInfo(cd::ManagedObjectContext& context,
                                                                  const std::shared_ptr<QMCourse>& lesson,
                                                                  const std::string& folderPrefix) {
  auto record = std::static_pointer_cast<QMFileCacheInfo>(
      context.insertNewObjectForEntityForName(QMFileCacheInfo::kEntityName));
  const std::string courseID = lesson->courseID().value_or("");
  record->setIndex(ns::integerValueOfText(courseID));
  // Set before the record is linked to its lesson, so that no counter moves.
  record->setStatus(kQMDownloadNotQueued);
  record->setFileName("index.m3u8");
  record->setFileDocment(folderPrefix + courseID);
  record->setCourse(lesson);
  return record;
}

}  // namespace app
