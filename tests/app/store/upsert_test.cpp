#include <gtest/gtest.h>

#include "app/session/QMUser.h"
#include "app/store/QMDownloadStatus.h"
#include "store_test_util.h"

namespace app {

namespace storetest {
namespace {

using StoreUpsertTest = StoreTest;
using Texts = std::vector<std::optional<std::string>>;

TEST_F(StoreUpsertTest, ASubjectTakesItsFieldsAndStagesFromTheReply) {
  auto subject = helper().createSubjectWithDic(json(kSampleSubject));
  ASSERT_NE(subject, nullptr);
  EXPECT_EQ((Texts{subject->subjectID(), subject->courseID(), subject->subjectName(), subject->iconID(),
                   subject->stageCount(), subject->unitCount(), subject->classCount(), subject->isAvailable(),
                   subject->hasTry(), subject->userID(), subject->subjectStaus()}),
            (Texts{"7", "7", "Politics", "70", "2", "1", "4", "1", "0", "1001", "正常"}));
  auto stages = subject->sortedStageArray();
  ASSERT_EQ(stages.size(), 2u);
  EXPECT_EQ((Texts{stages[0]->tagID(), stages[0]->stageID(), stages[0]->stageName(), stages[1]->tagID()}),
            (Texts{"7_11", "11", "Basics", "7_12"}));
  EXPECT_EQ(stages[0]->isNew(), 1);
  EXPECT_EQ(stages[0]->ownBySubject(), subject);
  EXPECT_FALSE(helper().managedObjectContext()->hasChanges());
}

TEST_F(StoreUpsertTest, MissingKeysAreStoredAsEmptyTextNeverAsNullText) {
  auto subject = helper().createSubjectWithDic(json(R"({"courseId": 8, "stageList": [{"name": "No id"}]})"));
  ASSERT_NE(subject, nullptr);
  EXPECT_EQ((Texts{subject->iconID(), subject->stageCount(), subject->isAvailable(), subject->hasTry(),
                   subject->subjectName(), subject->sortedStageArray().front()->tagID()}),
            (Texts{"", "", "", "", std::nullopt, "8_"}));
  auto season = helper().createSeasonWithDic(json(R"({"id": 3, "code": null})"));
  EXPECT_EQ((Texts{season->seasonId(), season->code(), season->name()}), (Texts{"3", "", ""}));
  auto stage = subject->sortedStageArray().front();
  helper().createCourseWithDic(json(R"({"nodeId": 5, "type": 2, "teacher": "  "})"), stage);
  auto lesson = stage->sortedCourseArray().front();
  EXPECT_EQ((Texts{lesson->videoID(), lesson->teacherName(), lesson->cwCode(),
                   lesson->fileCacheInfo()->fileDocment()}),
            (Texts{"", "", std::nullopt, "8_@_5"}));
}

TEST_F(StoreUpsertTest, ASubjectWithoutACourseIdIsNotStored) {
  for (const char* dic :
       {R"({"courseId": null, "name": null, "id": null})", R"({"name": "No id"})", R"({"courseId": " "})"}) {
    EXPECT_EQ(helper().createSubjectWithDic(json(dic)), nullptr) << dic;
  }
  EXPECT_TRUE(helper().getUserSubject().empty());
}

TEST_F(StoreUpsertTest, AvailabilityReadsAsItsStatusText) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {R"("available": 0)", "课程未购买"},
      {R"("available": 2)", "课程已冻结"},
      {R"("available": 3)", "课程已退课"},
      {R"("available": "4")", "课程已过期"},
      {R"("available": 7)", "正常"},
      {R"("available": 1, "expired": 1)", "课程已过期"},
      {R"("available": 2, "expired": "1")", "课程已过期"}};
  for (const auto& [fields, text] : cases) {
    auto subject = helper().createSubjectWithDic(json(R"({"courseId": 9, )" + fields + "}"));
    EXPECT_EQ(subject->subjectStaus(), text) << fields;
  }
}

TEST_F(StoreUpsertTest, LookupsFindTheSameObjectsAgain) {
  auto first = helper().createSubjectWithDic(json(kSampleSubject));
  auto again = helper().createSubjectWithDic(json(R"({"courseId": "7", "name": "Politics II"})"));
  EXPECT_EQ(again, first);
  EXPECT_EQ(first->subjectName(), "Politics II");
  EXPECT_EQ(first->sortedStageArray().size(), 2u);

  // Another user gets a subject of their own, but the stages (keyed by tag alone) are shared.
  userId_ = "2002";
  auto theirs = helper().createSubjectWithDic(json(kSampleSubject));
  EXPECT_NE(theirs, first);
  EXPECT_EQ(theirs->sortedStageArray().size(), 2u);
  EXPECT_TRUE(first->sortedStageArray().empty());
  EXPECT_EQ(helper().fetchEntityWith("QMStage").size(), 2u);
  auto season = helper().createSeasonWithDic(json(R"({"id": 1, "name": "2025"})"));
  EXPECT_EQ(helper().createSeasonWithDic(json(R"({"id": "1", "name": "2025 again"})")), season);
  EXPECT_EQ(season->name(), "2025 again");
  EXPECT_EQ(season->userID(), "2002");
}

TEST_F(StoreUpsertTest, ACourseTreeKeepsItsShapeOrderAndRecords) {
  auto stage = storeSampleCatalogue();
  EXPECT_EQ(idsOf(stage->sortedCourseArray()), (std::vector<std::string>{"100", "200"}));
  auto chapter = course("100");
  EXPECT_EQ(chapter->level(), 1);
  EXPECT_EQ(chapter->ownByStage(), stage);
  EXPECT_EQ(chapter->fileCacheInfo(), nullptr);
  EXPECT_EQ(idsOf(chapter->sortedCourseArray()), (std::vector<std::string>{"110", "120"}));
  auto unit = course("110");
  EXPECT_EQ(unit->level(), 2);
  EXPECT_EQ(unit->upLevelCourse(), chapter);
  EXPECT_EQ(unit->ownByStage(), nullptr);
  // Children keep the reply's order, not their ids' order.
  EXPECT_EQ(idsOf(unit->sortedCourseArray()), (std::vector<std::string>{"9", "10"}));
  auto lesson = course("9");
  EXPECT_EQ(lesson->level(), 3);
  EXPECT_EQ((Texts{lesson->courseName(), lesson->teacherName(), lesson->videoID(), lesson->cwCode()}),
            (Texts{"Lesson 9", "Wang", "900", "31"}));
  EXPECT_EQ(lesson->type(), QMCourse::kLessonType);
  EXPECT_EQ(lesson->rootCourse(), chapter);
  // A lesson's folder is named after its subject, stage and id, whatever lies between.
  EXPECT_EQ(lesson->fileCacheInfo()->fileDocment(), "7_@11_9");
  EXPECT_EQ(lesson->fileCacheInfo()->index(), 9);
  EXPECT_EQ(record("200")->fileDocment(), "7_@11_200");
  EXPECT_EQ(course("200")->rootCourse(), course("200"));
  EXPECT_EQ(course("200")->level(), 1);
}

TEST_F(StoreUpsertTest, StoringATreeAgainUpdatesItInPlace) {
  auto stage = storeSampleCatalogue();
  record("9")->setStatus(kQMDownloadDone);
  const std::size_t records = helper().fetchEntityWith("QMFileCacheInfo").size();
  helper().createCourseWithDic(json(R"({"nodeId": 100, "name": "Chapter One", "children": [
      {"nodeId": 110, "children": [{"nodeId": 9, "name": "Lesson nine", "type": 2},
                                   {"nodeId": 8, "name": "New lesson", "type": 2}]}]})"),
                               stage);
  EXPECT_EQ(course("100")->courseName(), "Chapter One");
  EXPECT_EQ(course("9")->courseName(), "Lesson nine");
  EXPECT_EQ(record("9")->status(), kQMDownloadDone);
  EXPECT_EQ(helper().fetchEntityWith("QMFileCacheInfo").size(), records + 1);
  EXPECT_EQ(idsOf(course("110")->sortedCourseArray()), (std::vector<std::string>{"9", "10", "8"}));
  EXPECT_EQ(course("110")->cachedVideo(), 1);
}

TEST_F(StoreUpsertTest, ALessonWithChildrenGetsNoRecord) {
  auto stage = storeSampleCatalogue();
  helper().createCourseWithDic(json(R"({"nodeId": 300, "type": 2, "children": []})"), stage);
  helper().createCourseWithDic(json(R"({"nodeId": 301, "type": 2, "children": null})"), stage);
  auto nodes = stage->sortedCourseArray();
  ASSERT_EQ(nodes.size(), 4u);
  EXPECT_EQ(nodes[2]->fileCacheInfo(), nullptr);
  // A null "children" is no children: the lesson is a lesson.
  EXPECT_NE(nodes[3]->fileCacheInfo(), nullptr);
}

TEST_F(StoreUpsertTest, SeasonsAndSubjectsAreTheCurrentUsers) {
  for (const char* id : {"9", "10", "2"}) {
    helper().createSubjectWithDic(json(std::string(R"({"courseId": )") + id + "}"));
  }
  auto selected = helper().createSeasonWithDic(json(R"({"id": 5, "selling": 1})"));
  helper().createSeasonWithDic(json(R"({"id": 6})"));
  EXPECT_EQ(helper().getSelectedSeason(), nullptr);
  selected->setIsSelected(1);
  EXPECT_EQ(helper().getSelectedSeason(), selected);
  EXPECT_EQ(selected->selling(), 1);
  std::vector<std::string> ids;
  for (const auto& subject : helper().getUserSubject()) {
    ids.push_back(*subject->subjectID());
  }
  EXPECT_EQ(ids, (std::vector<std::string>{"10", "2", "9"}));
  userId_ = "2002";
  EXPECT_TRUE(helper().getUserSubject().empty());
  EXPECT_EQ(helper().getSelectedSeason(), nullptr);
}

TEST_F(StoreUpsertTest, TheSessionsUserIsTheCurrentUserByDefault) {
  QMCoreDataHelper::resetSharedInstanceForTesting();
  QMUser::sharedInstance()->setUserId("3003");
  auto subject = helper().createSubjectWithDic(json(R"({"courseId": 9})"));
  EXPECT_EQ(subject->userID(), "3003");
  QMUser::sharedInstance()->setUserId(std::nullopt);
  EXPECT_TRUE(helper().getUserSubject().empty());
  QMUser::resetSharedInstanceForTesting();
}

}  // namespace
}  // namespace storetest

}  // namespace app
