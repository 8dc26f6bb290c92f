#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMDownloadStatus.h"
#include "app/store/QMSubject.h"
#include "learning/cache/QMDLStageController.h"
#include "learning/cache/cache_test_util.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/driver/Driver.h"

namespace learning::cachetest {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using uikit::Driver;

class DownloadAreaTest : public ::testing::Test {
 protected:
  // Stores a subject of the learner from the back end's entry `json`.
  static std::shared_ptr<app::QMSubject> storeSubject(const char* json) {
    app::QMCoreDataHelper& store = app::QMCoreDataHelper::sharedInstance();
    const auto subject = store.createSubjectWithDic(*ns::JSONSerialization::JSONObjectWithData(json));
    store.saveContext();
    return subject;
  }
  // Stores lesson `courseID` directly under each stage of `subject`, one a stage, with the given statuses.
  static void storeLessons(const app::QMSubject& subject, const std::vector<std::string>& courseIDs,
                           const std::vector<std::int64_t>& statuses) {
    app::QMCoreDataHelper& store = app::QMCoreDataHelper::sharedInstance();
    const auto stages = subject.sortedStageArray();
    for (std::size_t index = 0; index < courseIDs.size(); ++index) {
      const std::string entry = R"({"nodeId": ")" + courseIDs[index] + R"(", "name": "课)" +
                                courseIDs[index] + R"(", "type": 2, "videoId": "v1"})";
      store.createCourseWithDic(*ns::JSONSerialization::JSONObjectWithData(entry), stages.at(index));
    }
    store.saveContext();
    for (std::size_t index = 0; index < courseIDs.size(); ++index) {
      pickertest::PickerRoad::setStatus(courseIDs[index], statuses[index]);
    }
  }
  static std::int64_t status(const std::string& courseID) { return pickertest::PickerRoad::status(courseID); }

  CacheRoad road_;
};

TEST_F(DownloadAreaTest, SubjectAndStageRowsFollowADownloadLive) {
  const auto area = road_.presentDownloadArea();
  ASSERT_NE(area, nullptr);
  EXPECT_TRUE(screenShows("数学 | 正在缓存 | 0个 | 已缓存 | 0个"));
  EXPECT_TRUE(area->noCourseView()->isHidden());

  QMDownloadHelper::sharedInstance()->add(pickertest::PickerRoad::course("L1"));
  EXPECT_TRUE(screenShows("数学 | 正在缓存 | 1个 | 已缓存 | 0个"));
  EXPECT_TRUE(CacheRoad::runUntil([] { return status("L1") == app::kQMDownloadDone; }));
  EXPECT_TRUE(screenShows("数学 | 正在缓存 | 0个 | 已缓存 | 1个"));

  ASSERT_TRUE(Driver::selectRow("数学").ok());
  ns::RunLoop::main().runPending();
  EXPECT_TRUE(screenShows("基础 | 正在缓存 | 0个 | 已缓存 | 1个"));
  QMDownloadHelper::sharedInstance()->add(pickertest::PickerRoad::course("L2"));
  EXPECT_TRUE(screenShows("基础 | 正在缓存 | 1个 | 已缓存 | 1个"));
  EXPECT_TRUE(CacheRoad::runUntil([] { return status("L2") == app::kQMDownloadDone; }));
  EXPECT_TRUE(screenShows("基础 | 正在缓存 | 0个 | 已缓存 | 2个"));
}

TEST_F(DownloadAreaTest, RowsLeadFromASubjectToItsStagesAndOnToTheStagesCacheScreen) {
  road_.presentDownloadArea();
  ASSERT_TRUE(Driver::selectRow("数学").ok());
  ns::RunLoop::main().runPending();
  const auto stages = std::dynamic_pointer_cast<QMDLStageController>(road_.topScreen());
  ASSERT_NE(stages, nullptr);
  EXPECT_EQ(stages->mySubject()->subjectName(), "数学");
  EXPECT_TRUE(stages->noCourseView()->isHidden());

  ASSERT_TRUE(Driver::selectRow("基础").ok());
  ns::RunLoop::main().runPending();
  const auto cache = std::dynamic_pointer_cast<QMCacheManageController>(road_.topScreen());
  ASSERT_NE(cache, nullptr);
  EXPECT_EQ(cache->myStage(), road_.road().stage());
  EXPECT_TRUE(screenShows("title: 基础"));
  EXPECT_TRUE(screenShows("已缓存(0)"));

  // Back pops the cache screen, then the stage list; back from the first screen closes the whole area.
  ASSERT_TRUE(Driver::goBack().ok());
  ns::RunLoop::main().runPending();
  EXPECT_EQ(road_.topScreen(), stages);
  ASSERT_TRUE(Driver::goBack().ok());
  ns::RunLoop::main().runPending();
  EXPECT_NE(std::dynamic_pointer_cast<QMDLSubjectController>(road_.topScreen()), nullptr);
  ASSERT_TRUE(Driver::goBack().ok());
  EXPECT_TRUE(CacheRoad::runUntil([&] { return road_.host()->presentedViewController() == nullptr; }));
}

TEST_F(DownloadAreaTest, AnUnavailableSubjectExplainsWhyAndStaysOnTheList) {
  storeSubject(R"({"courseId": "S2", "id": "2", "name": "英语", "available": 1, "expired": 1,
                   "stageList": [{"nodeId": "E1", "name": "强化"}]})");
  const auto area = road_.presentDownloadArea();
  EXPECT_EQ(area->subjectModelArray().size(), 2u);
  ASSERT_TRUE(Driver::selectRow("英语").ok());
  EXPECT_TRUE(screenShows("alert: 课程已过期 | [确认]"));
  ASSERT_TRUE(Driver::answerAlert("确认").ok());
  ns::RunLoop::main().runPending();
  EXPECT_EQ(road_.topScreen(), area);
}

TEST_F(DownloadAreaTest, AnAvailableSubjectWithoutStagesOpensAnEmptyStageList) {
  storeSubject(R"({"courseId": "S3", "id": "3", "name": "政治", "available": 1, "stageList": []})");
  road_.presentDownloadArea();
  ASSERT_TRUE(Driver::selectRow("政治").ok());
  ns::RunLoop::main().runPending();
  const auto stages = std::dynamic_pointer_cast<QMDLStageController>(road_.topScreen());
  ASSERT_NE(stages, nullptr);
  EXPECT_EQ(stages->mySubject(), nullptr);
  EXPECT_TRUE(stages->stagelArray().empty());
  EXPECT_FALSE(stages->noCourseView()->isHidden());
}

TEST_F(DownloadAreaTest, ClearAllOnAStageListDeletesEveryDownloadOfItsStagesAndNoOther) {
  const auto subject = storeSubject(R"({"courseId": "S4", "id": "4", "name": "历史", "available": 1,
      "stageList": [{"nodeId": "H1", "name": "一轮"}, {"nodeId": "H2", "name": "二轮"}, {"nodeId": "H3", "name": "三轮"}]})");
  storeLessons(*subject, {"HL1", "HL2", "HL3"},
               {app::kQMDownloadDone, app::kQMDownloadPaused, app::kQMDownloadFailed});
  pickertest::PickerRoad::setStatus("L1", app::kQMDownloadDone);
  road_.presentDownloadArea();
  EXPECT_TRUE(screenShows("历史 | 正在缓存 | 2个 | 已缓存 | 1个"));
  ASSERT_TRUE(Driver::selectRow("历史").ok());
  ns::RunLoop::main().runPending();
  EXPECT_TRUE(screenShows("一轮 | 正在缓存 | 0个 | 已缓存 | 1个"));

  ASSERT_TRUE(Driver::tap("清除全部").ok());
  ASSERT_TRUE(Driver::answerAlert("取消").ok());
  EXPECT_EQ(status("HL1"), app::kQMDownloadDone);
  ASSERT_TRUE(Driver::tap("清除全部").ok());
  ASSERT_TRUE(Driver::answerAlert("确定").ok());
  EXPECT_EQ(status("HL1"), -1);
  EXPECT_EQ(status("HL2"), -1);
  EXPECT_EQ(status("HL3"), -1);
  EXPECT_EQ(status("L1"), app::kQMDownloadDone);
  EXPECT_TRUE(screenShows("三轮 | 正在缓存 | 0个 | 已缓存 | 0个"));
}

TEST_F(DownloadAreaTest, ClearAllOnTheSubjectListDeletesEveryDownloadFinishedOrNot) {
  pickertest::PickerRoad::setStatus("L1", app::kQMDownloadDone);
  pickertest::PickerRoad::setStatus("L4", app::kQMDownloadPaused);
  pickertest::PickerRoad::setStatus("L7", app::kQMDownloadFailed);
  road_.presentDownloadArea();
  EXPECT_TRUE(screenShows("数学 | 正在缓存 | 2个 | 已缓存 | 1个"));
  ASSERT_TRUE(Driver::tap("清除全部").ok());
  ASSERT_TRUE(Driver::answerAlert("确定").ok());
  for (const char* lesson : {"L1", "L4", "L7"}) {
    EXPECT_EQ(status(lesson), -1) << lesson;
  }
  EXPECT_TRUE(screenShows("数学 | 正在缓存 | 0个 | 已缓存 | 0个"));
}

}  // namespace
}  // namespace learning::cachetest
