// A stage's course tree end to end: the sample back end's tree lands in the store with its lesson records.

#include <gtest/gtest.h>

#include "app/course/course_test_util.h"
#include "app/store/QMFileCacheInfo.h"

namespace app {

namespace coursetest {
namespace {

class CourseTreeTest : public CourseDataModelTest {
 protected:
  // The stage 1011 of the politics subject, as the subject list stored it.
  std::shared_ptr<QMStage> basicsStage() {
    return logInAndLoadSubjects().front()->sortedStageArray().front();
  }
};

std::vector<std::string> describe(const std::vector<std::shared_ptr<QMCourse>>& nodes) {
  std::vector<std::string> texts;
  for (const std::shared_ptr<QMCourse>& node : nodes) {
    texts.push_back(*node->courseID() + " L" + std::to_string(node->level().value_or(0)) + " T" +
                    std::to_string(node->type().value_or(-1)) + (node->fileCacheInfo() ? " record" : ""));
  }
  return texts;
}

TEST_F(CourseTreeTest, TheStagesTreeIsStoredWithARecordForEveryLesson) {
  const std::shared_ptr<QMStage> stage = basicsStage();
  ASSERT_EQ(callbacksOf([&] {
              model_->networkGetCourseTreeWithStage(stage);
              EXPECT_TRUE(app_.loadingIndicatorShown());
            }),
            Events{"networkGetCourseTreeSuccess"});
  EXPECT_EQ(delegate_->stage, stage);
  EXPECT_FALSE(app_.loadingIndicatorShown());
  EXPECT_EQ(app_.sentParameters(QMCourseDataModel::kCourseTreePath)[0].at("nodeId"), "1011");

  // An introductory lesson hangs directly under the stage, another directly under its chapter.
  const std::vector<std::shared_ptr<QMCourse>> top = stage->sortedCourseArray();
  EXPECT_EQ(describe(top), (std::vector<std::string>{"101101 L1 T2 record", "101102 L1 T0", "101109 L1 T0"}));
  EXPECT_EQ(describe(top[2]->sortedCourseArray()),
            (std::vector<std::string>{"101110 L2 T1", "101113 L2 T2 record"}));
  const std::shared_ptr<QMCourse> lesson = top[1]->sortedCourseArray()[0]->sortedCourseArray()[0];
  EXPECT_EQ(describe({lesson}), std::vector<std::string>{"101104 L3 T2 record"});
  EXPECT_EQ(lesson->courseName(), "物质与意识");
  EXPECT_EQ(lesson->fileCacheInfo()->fileDocment(), "101_@1011_101104");
  EXPECT_EQ(lesson->fileCacheInfo()->status(), 0);

  // Asking again updates the same nodes.
  ASSERT_EQ(callbacksOf([&] { model_->networkGetCourseTreeWithStage(stage); }),
            Events{"networkGetCourseTreeSuccess"});
  EXPECT_EQ(stage->sortedCourseArray(), top);
  EXPECT_EQ(QMCoreDataHelper::sharedInstance().fetchEntityWith(QMCourse::kEntityName).size(), 13u);
}

TEST_F(CourseTreeTest, AStageTheBackEndDoesNotKnowIsRefusedWithTheTableText) {
  const std::shared_ptr<QMStage> stage = basicsStage();
  stage->setStageID("999");
  EXPECT_EQ(callbacksOf([&] { model_->networkGetCourseTreeWithStage(stage); }),
            Events{"networkGetCourseTreeFailed"});
  EXPECT_EQ(app_.toasts(), std::vector<std::string>{"产品不存在"});
  EXPECT_TRUE(stage->sortedCourseArray().empty());
}

}  // namespace
}  // namespace coursetest

}  // namespace app
