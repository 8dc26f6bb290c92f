#pragma once

// QMCoreDataHelper: the application's object store, one per process: the stack over the file
// "Quillmark.sqlite" in the documents folder, the create-or-update operations that turn back-end
// dictionaries into objects, fetches and saves.
//
// The stack is built on first use of the context. When the file cannot be opened or upgraded, the error is
// logged as "Unresolved error ..." once, the file is left as it is, and the store stays empty for the rest of
// the process: the context is nullptr, fetches return nothing, create operations store nothing and return
// nullptr, saves do nothing.
//
// Store lookups of seasons and subjects go by the current user's id: the session's (QMUser::userId) unless
// setUserIdSource() names another source.
//
// Not thread-safe: main thread only; every caller (screens, API completions, the download manager) runs
// there.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/store/QMCourse.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/Predicate.h"
#include "platform/foundation/values/Value.h"

namespace app {

class QMFileCacheInfo;
class QMSeason;
class QMStage;
class QMSubject;

class QMCoreDataHelper {
 public:
  // Returns the logged-in user's id, or std::nullopt when there is none.
  using UserIdSource = std::function<std::optional<std::string>()>;

  static constexpr std::string_view kStoreFileName = "Quillmark.sqlite";

  // The process's store, created on first use. It lives until the process ends.
  static QMCoreDataHelper& sharedInstance();
  // Drops the shared store (closing its file), so that the next sharedInstance() starts afresh, as a new
  // process would. Objects still held keep their values but lose their links.
  static void resetSharedInstanceForTesting();

  QMCoreDataHelper(const QMCoreDataHelper&) = delete;
  QMCoreDataHelper& operator=(const QMCoreDataHelper&) = delete;

  // Sets where the current user's id comes from, in place of the session.
  void setUserIdSource(UserIdSource source) { userIdSource_ = std::move(source); }
  std::optional<std::string> currentUserId() const;

  // The current user's subjects, sorted by subjectID's text ("10" before "9").
  std::vector<std::shared_ptr<QMSubject>> getUserSubject();
  // The current user's first season with isSelected 1, or nullptr.
  std::shared_ptr<QMSeason> getSelectedSeason();

  // Create or update from one back-end dictionary, then save. Each looks its object up (a season by "id"
  // and the current user, a subject by "courseId" and the current user, a stage by "tagID"), inserts it
  // when missing, fills it (the entities' updatePropertyWithDic) and returns it; nullptr without a store,
  // and for a subject whose "courseId" is missing, null or blank.
  std::shared_ptr<QMSeason> createSeasonWithDic(const ns::Value& dic);
  std::shared_ptr<QMSubject> createSubjectWithDic(const ns::Value& dic);
  std::shared_ptr<QMStage> createStageWithDic(const ns::Value& dic);

  // Creates or updates the course node `dic` under `upModel` (tagID "<parent tagID>_<nodeId>") with its
  // whole subtree ("children", in order), gives each new lesson (type 2, no "children") a download
  // record, and saves once the subtree is stored. Node fields: courseID and videoID as text, courseName,
  // teacherName (never-nil text), isNew, type, cwCode (only when present); level 1 under a stage, the
  // parent's level + 1 under a course. Does nothing without a store or with a null `upModel`.
  void createCourseWithDic(const ns::Value& dic, const QMCourseParent& upModel);

  // Inserts a download record for `lesson` (status 0, "index.m3u8", folder
  // "<subjectID>_@<stageID>_<courseID>", index = courseID as an integer) without saving. Returns it, or
  // nullptr without a store or a lesson.
  std::shared_ptr<QMFileCacheInfo> createFileInfoWithCourse(const std::shared_ptr<QMCourse>& lesson);

  // Every object of `entityName`, or those matching `predicate` (`relationship`: key paths to read in
  // advance). In no promised order. A failed fetch logs "查询失败：<error>" and returns nothing.
  std::vector<std::shared_ptr<cd::ManagedObject>> fetchEntityWith(std::string_view entityName);
  std::vector<std::shared_ptr<cd::ManagedObject>> fetchEntityWith(std::string_view entityName,
                                                                  cd::Predicate predicate,
                                                                  std::vector<std::string> relationship);
  // The same for an entity class T (one with kEntityName), typed.
  template <typename T>
  std::vector<std::shared_ptr<T>> fetchEntitiesOf(cd::Predicate predicate,
                                                  std::vector<std::string> relationship = {}) {
    std::vector<std::shared_ptr<T>> typed;
    for (std::shared_ptr<cd::ManagedObject>& object :
         fetchEntityWith(T::kEntityName, std::move(predicate), std::move(relationship))) {
      typed.push_back(std::static_pointer_cast<T>(std::move(object)));
    }
    return typed;
  }

  // The stack. The coordinator and the context are nullptr when the store could not be opened.
  std::string applicationDocumentsDirectory() const;
  std::shared_ptr<const cd::ManagedObjectModel> managedObjectModel() const;
  std::shared_ptr<cd::PersistentStoreCoordinator> persistentStoreCoordinator();
  std::shared_ptr<cd::ManagedObjectContext> managedObjectContext();

  // Saves the context when it has changes; a failure is logged as "Unresolved error ..." and the changes
  // stay in the context.
  void saveContext();

 private:
  QMCoreDataHelper() = default;

  // Returns the first T matching `predicate`, or a new T when none does.
  template <typename T>
  std::shared_ptr<T> existingOrNew(cd::ManagedObjectContext& context, cd::Predicate predicate);
  // REQUIRES: `upModel` holds an object; `folderPrefix` is lessonFolderPrefix() of the tree's stage.
  void upsertCourse(cd::ManagedObjectContext& context, const ns::Value& dic, const QMCourseParent& upModel,
                    const std::string& folderPrefix);
  std::shared_ptr<QMFileCacheInfo> insertFileInfo(cd::ManagedObjectContext& context,
                                                  const std::shared_ptr<QMCourse>& lesson,
                                                  const std::string& folderPrefix);
  ns::Value currentUserIdValue() const;

  UserIdSource userIdSource_;
  std::shared_ptr<cd::PersistentStoreCoordinator> coordinator_;
  std::shared_ptr<cd::ManagedObjectContext> context_;
  bool storeFailed_ = false;
};

}  // namespace app
