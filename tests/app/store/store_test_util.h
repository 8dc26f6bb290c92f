#pragma once

// A fresh application store in a temporary sandbox for each test, with a logged-in user, and a sample
// catalogue: subject 7 with stages 11 and 12; under stage 11 chapter 100 holds unit 110 (lessons 9 and 10)
// and lesson 120, and lesson 200 hangs directly under the stage.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMCourse.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMSeason.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace app {

namespace storetest {

// Returns the value of the JSON text, failing the test when it does not parse.
inline ns::Value json(std::string_view text) {
  ns::Result<ns::Value> parsed = ns::JSONSerialization::JSONObjectWithData(text);
  EXPECT_TRUE(parsed.ok()) << text;
  return parsed ? *parsed : ns::Value();
}

// The course ids of `courses`, in their order.
inline std::vector<std::string> idsOf(const std::vector<std::shared_ptr<QMCourse>>& courses) {
  std::vector<std::string> ids;
  for (const auto& course : courses) {
    ids.push_back(course->courseID().value_or("nil"));
  }
  return ids;
}

inline constexpr std::string_view kSampleSubject = R"({
  "courseId": 7, "name": "Politics", "id": 70, "available": 1, "hasTry": 0, "isFinished": 0,
  "countMap": {"chapterCount": 2, "unitCount": 1, "classCount": 4},
  "stageList": [{"nodeId": 11, "name": "Basics", "isNew": 1}, {"nodeId": 12, "name": "Review", "isNew": 0}]
})";

inline constexpr std::string_view kSampleChapter = R"({
  "nodeId": 100, "name": "Chapter 1", "type": 0, "isNew": 0, "children": [
    {"nodeId": 110, "name": "Unit 1", "type": 1, "children": [
      {"nodeId": 9, "name": "Lesson 9", "type": 2, "videoId": 900, "teacher": "Wang", "cwCode": 31},
      {"nodeId": 10, "name": "Lesson 10", "type": 2, "videoId": 1000}]},
    {"nodeId": 120, "name": "Lesson under chapter", "type": 2, "videoId": 1200}]
})";

inline constexpr std::string_view kSampleStageLesson =
    R"({"nodeId": 200, "name": "Lesson under stage", "type": 2, "videoId": 2000})";

class StoreTest : public ::testing::Test {
 protected:
  StoreTest() {
    QMCoreDataHelper::resetSharedInstanceForTesting();
    helper().setUserIdSource([this] { return userId_; });
  }
  ~StoreTest() override { QMCoreDataHelper::resetSharedInstanceForTesting(); }

  static QMCoreDataHelper& helper() { return QMCoreDataHelper::sharedInstance(); }

  // Stores the sample subject and stage 11's tree; returns stage 11.
  std::shared_ptr<QMStage> storeSampleCatalogue() {
    std::shared_ptr<QMSubject> subject = helper().createSubjectWithDic(json(kSampleSubject));
    EXPECT_NE(subject, nullptr);
    std::shared_ptr<QMStage> stage = subject != nullptr ? subject->sortedStageArray().front() : nullptr;
    EXPECT_NE(stage, nullptr);
    helper().createCourseWithDic(json(kSampleChapter), stage);
    helper().createCourseWithDic(json(kSampleStageLesson), stage);
    return stage;
  }

  // Returns the course node with `courseID`, failing the test when there is not exactly one.
  static std::shared_ptr<QMCourse> course(const std::string& courseID) {
    auto courses = helper().fetchEntitiesOf<QMCourse>(cd::Predicate::equals("courseID", ns::Value(courseID)));
    EXPECT_EQ(courses.size(), 1u) << courseID;
    return courses.empty() ? nullptr : courses.front();
  }

  static std::shared_ptr<QMFileCacheInfo> record(const std::string& courseID) {
    std::shared_ptr<QMCourse> lesson = course(courseID);
    return lesson != nullptr ? lesson->fileCacheInfo() : nullptr;
  }

  ns::testutil::TemporarySandbox sandbox_;
  std::optional<std::string> userId_ = "1001";
};

// A StoreTest with the sample catalogue stored; stage_ is stage 11.
class StoreCatalogueTest : public StoreTest {
 protected:
  void SetUp() override { stage_ = storeSampleCatalogue(); }

  std::shared_ptr<QMStage> stage_;
};

}  // namespace storetest

}  // namespace app
