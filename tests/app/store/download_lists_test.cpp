#include <gtest/gtest.h>

#include <algorithm>

#include "app/store/QMDownloadStatus.h"
#include "store_test_util.h"

namespace app {

namespace storetest {
namespace {

using StoreDownloadListsTest = StoreCatalogueTest;

TEST_F(StoreDownloadListsTest, DownloadingAndDownloadedChildrenSortByIdText) {
  record("9")->setStatus(kQMDownloadRunning);
  record("10")->setStatus(kQMDownloadWaiting);
  EXPECT_EQ(idsOf(course("110")->cachingCourse()), (std::vector<std::string>{"10", "9"}));
  EXPECT_TRUE(course("110")->cachedCourse().empty());
  record("9")->setStatus(kQMDownloadDone);
  record("10")->setStatus(kQMDownloadDone);
  EXPECT_EQ(idsOf(course("110")->cachedCourse()), (std::vector<std::string>{"10", "9"}));
  EXPECT_TRUE(course("110")->cachingCourse().empty());
  EXPECT_EQ(idsOf(course("100")->cachedCourse()), (std::vector<std::string>{"110"}));
  EXPECT_EQ(idsOf(stage_->cacheDoneCourse()), (std::vector<std::string>{"100"}));
  EXPECT_TRUE(stage_->cachingCourse().empty());
}

TEST_F(StoreDownloadListsTest, StatusQueriesLookThroughTheTree) {
  EXPECT_TRUE(course("100")->isHaveCourseWithStatus(kQMDownloadNotQueued));
  EXPECT_FALSE(course("100")->isHaveCourseWithStatus(kQMDownloadPaused));
  record("10")->setStatus(kQMDownloadPaused);
  EXPECT_TRUE(course("100")->isHaveCourseWithStatus(kQMDownloadPaused));
  EXPECT_EQ(idsOf(course("100")->courseArrayWith(kQMDownloadPaused)), (std::vector<std::string>{"110"}));
  EXPECT_EQ(idsOf(course("110")->courseArrayWith(kQMDownloadNotQueued)), (std::vector<std::string>{"9"}));
  for (const char* lesson : {"9", "120", "200"}) {
    record(lesson)->setStatus(kQMDownloadDone);
  }
  // Every lesson is downloaded or paused: the picker offers nothing.
  EXPECT_TRUE(stage_->uncacheRootCourse().empty());
  record("120")->setStatus(kQMDownloadNotQueued);
  EXPECT_EQ(idsOf(stage_->uncacheRootCourse()), (std::vector<std::string>{"100"}));
}

TEST_F(StoreDownloadListsTest, TheStageListsItsLessonsByDownloadState) {
  record("9")->setStatus(kQMDownloadRunning);
  record("10")->setStatus(kQMDownloadFailed);
  record("120")->setStatus(kQMDownloadPaused);
  record("200")->setStatus(kQMDownloadWaiting);
  std::vector<std::string> caching = idsOf(stage_->cachingVideoArray());
  std::sort(caching.begin(), caching.end());
  EXPECT_EQ(caching, (std::vector<std::string>{"10", "200", "9"}));
  EXPECT_EQ(idsOf(stage_->pausingVideoArray()), (std::vector<std::string>{"120"}));
  EXPECT_EQ(idsOf(stage_->cachingCourse()), (std::vector<std::string>{"100", "200"}));
  // Only lessons directly under the stage are found by their status.
  EXPECT_EQ(idsOf(stage_->courseWithStatus(kQMDownloadWaiting)), (std::vector<std::string>{"200"}));
  EXPECT_TRUE(stage_->courseWithStatus(kQMDownloadRunning).empty());
}

TEST_F(StoreDownloadListsTest, TheSubjectListsStagesWithDownloads) {
  auto subject = stage_->ownBySubject();
  EXPECT_TRUE(subject->getAlreadyCacheStage().empty());
  record("200")->setStatus(kQMDownloadPaused);
  ASSERT_EQ(subject->getAlreadyCacheStage().size(), 1u);
  EXPECT_EQ(subject->getAlreadyCacheStage().front(), stage_);
}

}  // namespace
}  // namespace storetest

}  // namespace app
