#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/store/QMDownloadStatus.h"
#include "app/store/QMTask.h"
#include "app/store/QuillmarkModel.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/Sandbox.h"
#include "store_test_util.h"

namespace app {

namespace storetest {
namespace {

// Set in the environment of the child process that checks a store written by its parent.
constexpr const char* kReopenCheckVariable = "QUILLMARK_STORE_REOPEN_CHECK";

std::string storeFilePath() {
  return ns::Sandbox::documentsDirectory() + "/Quillmark.sqlite";
}

void addTask(const std::shared_ptr<QMFileCacheInfo>& record) {
  auto task = std::static_pointer_cast<QMTask>(
      QMCoreDataHelper::sharedInstance().managedObjectContext()->insertNewObjectForEntityForName(
          QMTask::kEntityName));
  task->setOwnByFileCache(record);
}

using StoreFileTest = StoreTest;

TEST_F(StoreFileTest, ASavedStoreReadsBackInANewProcess) {
  storeSampleCatalogue();
  record("9")->setStatus(kQMDownloadDone);
  record("10")->setStatus(kQMDownloadPaused);
  helper().saveContext();
  const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string report = sandbox_.path("child-report.txt");
  // timeout(1) bounds the child, so that a stuck child fails this test instead of hanging it.
  const std::string command = std::string(kReopenCheckVariable) + "=1 QUILLMARK_HOME='" + sandbox_.home() +
                              "' timeout 120 '" + program + "' --gtest_filter=StoreReopenCheck.* > '" +
                              report + "' 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
  auto output = ns::FileManager::defaultManager().contentsAtPath(report);
  ASSERT_TRUE(output.ok());
  EXPECT_NE(ns::stringFromData(*output).find("[  PASSED  ] 1 test."), std::string::npos)
      << ns::stringFromData(*output);
}

// Runs only as the child of the test above, in a process that has never seen the store.
TEST(StoreReopenCheck, FindsTheTreeCountersAndStatuses) {
  if (std::getenv(kReopenCheckVariable) == nullptr) {
    GTEST_SKIP() << "runs as the child of ASavedStoreReadsBackInANewProcess";
  }
  QMCoreDataHelper::sharedInstance().setUserIdSource([] { return std::string("1001"); });
  auto subjects = QMCoreDataHelper::sharedInstance().getUserSubject();
  ASSERT_EQ(subjects.size(), 1u);
  EXPECT_EQ(subjects[0]->subjectName(), "Politics");
  EXPECT_EQ(subjects[0]->cachedVideo(), 1);
  EXPECT_EQ(subjects[0]->cachingVideo(), 1);
  auto stage = subjects[0]->sortedStageArray().front();
  auto unit = stage->sortedCourseArray().front()->sortedCourseArray().front();
  ASSERT_EQ(unit->sortedCourseArray().size(), 2u);
  EXPECT_EQ(unit->sortedCourseArray()[0]->courseID(), "9");
  EXPECT_EQ(unit->sortedCourseArray()[0]->fileCacheInfo()->status(), kQMDownloadDone);
  EXPECT_EQ(unit->sortedCourseArray()[1]->fileCacheInfo()->status(), kQMDownloadPaused);
  EXPECT_EQ(unit->cachedVideo(), 1);
}

TEST_F(StoreFileTest, DeletingASubjectTakesEverythingBelowItAndLeavesTheSeason) {
  auto stage = storeSampleCatalogue();
  auto season = helper().createSeasonWithDic(json(R"({"id": 1})"));
  auto subject = stage->ownBySubject();
  subject->setOwnBySeason(season);
  addTask(record("9"));
  helper().saveContext();
  helper().managedObjectContext()->deleteObject(*subject);
  helper().saveContext();
  for (const char* entity : {"QMSubject", "QMStage", "QMCourse", "QMFileCacheInfo", "QMTask"}) {
    EXPECT_TRUE(helper().fetchEntityWith(entity).empty()) << entity;
  }
  EXPECT_TRUE(season->ownSubject().empty());
  EXPECT_EQ(helper().fetchEntityWith("QMSeason").size(), 1u);
}

TEST_F(StoreFileTest, DeletingARecordTakesItsTasksAndLeavesTheLesson) {
  storeSampleCatalogue();
  auto lessonRecord = record("9");
  for (int task = 0; task < 3; ++task) {
    addTask(lessonRecord);
  }
  EXPECT_EQ(lessonRecord->ownTask().size(), 3u);
  helper().managedObjectContext()->deleteObject(*lessonRecord);
  EXPECT_TRUE(helper().fetchEntityWith("QMTask").empty());
  EXPECT_EQ(course("9")->fileCacheInfo(), nullptr);
}

TEST_F(StoreFileTest, AFileThatCannotBeOpenedIsLoggedKeptAndLeavesTheStoreEmpty) {
  const ns::Data learnersFile = ns::dataFromString("not a database, but the learner's bytes");
  ASSERT_TRUE(ns::FileManager::defaultManager().createFileAtPath(storeFilePath(), learnersFile).ok());
  testing::internal::CaptureStderr();
  EXPECT_EQ(helper().managedObjectContext(), nullptr);
  EXPECT_EQ(helper().persistentStoreCoordinator(), nullptr);
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(log.rfind("Unresolved error Error Domain=YOUR_ERROR_DOMAIN Code=9999 \"Failed to initialize the "
                      "application's saved data\"",
                      0),
            0u)
      << log;

  // The application carries on without a store, and tries no second time.
  testing::internal::CaptureStderr();
  EXPECT_EQ(helper().createSubjectWithDic(json(kSampleSubject)), nullptr);
  EXPECT_TRUE(helper().getUserSubject().empty());
  EXPECT_EQ(helper().getSelectedSeason(), nullptr);
  helper().saveContext();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(*ns::FileManager::defaultManager().contentsAtPath(storeFilePath()), learnersFile);
}

TEST_F(StoreFileTest, AFailedFetchIsLoggedAndReadsAsEmpty) {
  testing::internal::CaptureStderr();
  EXPECT_TRUE(helper().fetchEntityWith("QMMagazine").empty());
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind(
                "查询失败：Error Domain=NSCocoaErrorDomain Code=134060", 0),
            0u);
}

// A stand-in for the entity classes of an older model: values set by name.
class OlderRow : public cd::ManagedObject {
 public:
  void setText(const char* name, std::string value) { setTextValue(*entity().attributeIndex(name), value); }
  void setInteger(const char* name, std::int64_t value) {
    setIntegerValue(*entity().attributeIndex(name), value);
  }

  void link(const char* relationship, const std::shared_ptr<OlderRow>& other) {
    setRelatedObject(*entity().relationshipIndex(relationship), other);
  }
};

// The model as it was before segment tasks and a few attributes were added.
std::shared_ptr<const cd::ManagedObjectModel> olderQuillmarkModel() {
  const std::vector<std::string> addedLater = {"hasTry", "isFinished", "cwCode", "videoURL", "taskCount"};
  std::vector<cd::EntityDescription> entities;
  for (const cd::EntityDescription& entity : quillmarkModel()->entities()) {
    if (entity.name() == QMTask::kEntityName) {
      continue;
    }
    std::vector<cd::AttributeDescription> attributes = entity.attributes();
    std::erase_if(attributes,
                  [&](const auto& attribute) { return std::ranges::count(addedLater, attribute.name); });
    std::vector<cd::RelationshipDescription> relationships = entity.relationships();
    std::erase_if(relationships, [](const auto& relationship) {
      return relationship.destinationEntityName == QMTask::kEntityName;
    });
    entities.emplace_back(entity.name(), cd::makeObjectOf<OlderRow>, attributes, relationships);
  }
  return std::make_shared<const cd::ManagedObjectModel>(std::string(kQuillmarkModelName),
                                                        std::move(entities));
}

TEST_F(StoreFileTest, AFileOfAnOlderModelOpensWithItsDataKept) {
  {
    auto coordinator = std::make_shared<cd::PersistentStoreCoordinator>(olderQuillmarkModel());
    ASSERT_TRUE(coordinator->addSQLiteStoreAtPath(storeFilePath()).ok());
    cd::ManagedObjectContext context(coordinator);
    auto insert = [&](std::string_view entity, std::vector<std::pair<const char*, std::string>> texts,
                      std::vector<std::pair<const char*, std::int64_t>> integers) {
      auto row = std::static_pointer_cast<OlderRow>(context.insertNewObjectForEntityForName(entity));
      for (const auto& [name, value] : texts) {
        row->setText(name, value);
      }
      for (const auto& [name, value] : integers) {
        row->setInteger(name, value);
      }
      return row;
    };
    auto subject =
        insert("QMSubject", {{"subjectID", "7"}, {"subjectName", "Old politics"}, {"userID", "1001"}},
               {{"cachedVideo", 1}});
    auto stage = insert("QMStage", {{"tagID", "7_11"}, {"stageID", "11"}}, {{"cachedVideo", 1}});
    stage->link("ownBySubject", subject);
    auto lesson = insert("QMCourse", {{"tagID", "7_11_9"}, {"courseID", "9"}}, {{"type", 2}});
    lesson->link("ownByStage", stage);
    insert("QMFileCacheInfo", {{"fileDocment", "7_@11_9"}}, {{"status", 5}})->link("course", lesson);
    ASSERT_TRUE(context.save().ok());
  }
  auto subjects = helper().getUserSubject();
  ASSERT_EQ(subjects.size(), 1u);
  EXPECT_EQ(subjects[0]->subjectName(), "Old politics");
  EXPECT_EQ(subjects[0]->hasTry(), std::nullopt);
  auto stage = subjects[0]->sortedStageArray().at(0);
  auto lesson = stage->sortedCourseArray().at(0);
  EXPECT_EQ(lesson->cwCode(), std::nullopt);
  ASSERT_NE(lesson->fileCacheInfo(), nullptr);
  EXPECT_EQ(lesson->fileCacheInfo()->status(), kQMDownloadDone);

  // The upgraded store takes the new attributes and entities and keeps counting.
  helper().createSubjectWithDic(json(R"({"courseId": 7, "hasTry": 1})"));
  EXPECT_EQ(subjects[0]->hasTry(), "1");
  testing::internal::CaptureStderr();
  lesson->fileCacheInfo()->setStatus(kQMDownloadNotQueued);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(stage->cachedVideo(), 0);
  EXPECT_EQ(subjects[0]->cachedVideo(), 0);
  addTask(lesson->fileCacheInfo());
  helper().saveContext();
  EXPECT_FALSE(helper().managedObjectContext()->hasChanges());
}

}  // namespace
}  // namespace storetest

}  // namespace app
