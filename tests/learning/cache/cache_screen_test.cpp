#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/store/QMDownloadStatus.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMSubject.h"
#include "learning/cache/QMCachingCourseCell.h"
#include "learning/cache/QMLessonFolderFiles.h"
#include "learning/cache/cache_test_util.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "learning/downloads/download_test_util.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/driver/Driver.h"

namespace learning::cachetest {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using uikit::Driver;

class CacheScreenTest : public ::testing::Test {
 protected:
  // Opens the cache screen of the stage and keeps its two pages.
  void open() {
    screen_ = road_.presentCacheScreen();
    cached_ = screen_->cachedController();
    caching_ = screen_->cachingController();
  }
  void showCachingPage() { ASSERT_TRUE(Driver::tap("cachingBtn").ok()); }
  std::shared_ptr<ZBPlayer> player() const {
    const auto& controller = cached_->playerController();
    return controller ? controller->playerView() : nullptr;
  }
  std::string playingPath() const {
    const std::shared_ptr<ZBPlayer> shown = player();
    return shown && shown->currentURL() ? shown->currentURL()->path() : "";
  }
  static void setStatuses(const std::vector<std::pair<std::string, std::int64_t>>& statuses) {
    for (const auto& [courseID, status] : statuses) {
      pickertest::PickerRoad::setStatus(courseID, status);
    }
  }
  static std::int64_t status(const std::string& courseID) { return pickertest::PickerRoad::status(courseID); }

  CacheRoad road_;
  std::shared_ptr<QMCacheManageController> screen_;
  std::shared_ptr<QMCacheController> cached_;
  std::shared_ptr<QMCacheController> caching_;
};

TEST_F(CacheScreenTest, AStageWithoutLessonsShowsTheEmptyPictureOfEachPage) {
  open();
  EXPECT_EQ(screen_->navigationItem().title(), "基础");
  EXPECT_TRUE(screenShows("已缓存(0)"));
  EXPECT_TRUE(screenShows("正在缓存(0)"));
  EXPECT_FALSE(cached_->noCourseImageView()->isHidden());
  EXPECT_EQ(cached_->noCourseImageView()->image()->name(), "DL_no_course");
  EXPECT_FALSE(cached_->cachedOpBtn()->isHidden());
  EXPECT_TRUE(cached_->cachingOpView()->isHidden());
  EXPECT_TRUE(caching_->view()->isHidden());

  showCachingPage();
  EXPECT_TRUE(cached_->view()->isHidden());
  EXPECT_FALSE(caching_->noCourseImageView()->isHidden());
  EXPECT_EQ(caching_->noCourseImageView()->image()->name(), "DL_no_dlcourse");
  EXPECT_TRUE(caching_->cachedOpBtn()->isHidden());
  EXPECT_EQ(caching_->pauseAllBtn()->titleForState(uikit::kControlStateNormal), "全部开始");
  // Any other page number is kept but shows nothing new.
  screen_->setSelectedType(7);
  EXPECT_EQ(screen_->selectedType(), 7);
  EXPECT_TRUE(cached_->view()->isHidden());
}

TEST_F(CacheScreenTest, ComingBackToTheForegroundStartsThePagesLessonServerOnLoopback) {
  open();
  EXPECT_EQ(cached_->localServer(), nullptr);
  ns::NotificationCenter::defaultCenter().postNotificationName(
      std::string(uikit::kApplicationDidBecomeActiveNotification), nullptr);
  ASSERT_NE(cached_->localServer(), nullptr);
  EXPECT_TRUE(cached_->localServer()->server().isRunning());
  EXPECT_NE(cached_->localServer()->server().listeningPort(), 0);
}

TEST_F(CacheScreenTest, EachPageShowsItsKindAsAnOpenTreeThatDoesNotFold) {
  setStatuses({{"L1", app::kQMDownloadDone},
               {"L4", app::kQMDownloadDone},
               {"L2", app::kQMDownloadPaused},
               {"L6", app::kQMDownloadFailed}});
  open();
  EXPECT_TRUE(screenShows("已缓存(2)"));
  EXPECT_TRUE(screenShows("正在缓存(2)"));
  EXPECT_TRUE(
      screenShows("table myTreeView:\n"
                  "  [0] 第一章\n"
                  "  [1]   第1课\n"
                  "  [2] 第二章\n"
                  "  [3]   第一节\n"
                  "  [4]     第4课\n"));
  ASSERT_TRUE(Driver::selectRow("第一章").ok());
  EXPECT_TRUE(screenShows("[1]   第1课"));

  showCachingPage();
  EXPECT_TRUE(screenShows("  [1]   (DL_pause) 第2课 | 暂停下载\n"));
  EXPECT_TRUE(screenShows("第6课 | 下载失败"));
  EXPECT_THAT(Driver::screenText(), Not(HasSubstr("第1课")));
  // Something failed: the toggle offers to pause.
  EXPECT_EQ(caching_->pauseAllBtn()->titleForState(uikit::kControlStateNormal), "全部暂停");
}

TEST_F(CacheScreenTest, TappingALessonPausesOrQueuesItAgainAndItsRowFollowsTheRecord) {
  setStatuses({{"L1", app::kQMDownloadFailed}, {"L2", app::kQMDownloadPaused}, {"L3", app::kQMDownloadDone}});
  open();
  showCachingPage();
  // A failed lesson waits again (and, the queue being free, starts).
  ASSERT_TRUE(Driver::selectRow("第1课").ok());
  EXPECT_THAT(status("L1"), ::testing::AnyOf(app::kQMDownloadWaiting, app::kQMDownloadRunning));
  EXPECT_TRUE(CacheRoad::runUntil([] { return status("L1") == app::kQMDownloadDone; }));
  // The finished lesson left the downloading page for the downloaded one; the titles followed.
  EXPECT_THAT(Driver::screenText(), Not(HasSubstr("第1课")));
  EXPECT_TRUE(screenShows("已缓存(2)"));
  EXPECT_TRUE(screenShows("正在缓存(1)"));
  // A paused lesson is queued again; tapping it while it waits or runs pauses it.
  ASSERT_TRUE(Driver::selectRow("第2课").ok());
  EXPECT_THAT(status("L2"), ::testing::AnyOf(app::kQMDownloadWaiting, app::kQMDownloadRunning));
  ASSERT_TRUE(Driver::selectRow("第2课").ok());
  EXPECT_EQ(status("L2"), app::kQMDownloadPaused);
  EXPECT_TRUE(screenShows("第2课 | 暂停下载"));
}

TEST_F(CacheScreenTest, PausingTheLessonBeingDownloadedStopsItsTransferAtOnce) {
  ASSERT_TRUE(road_.road().queueTwoLessonsUntilASlowSegment());
  ASSERT_EQ(status("L1"), app::kQMDownloadRunning);
  open();
  showCachingPage();
  EXPECT_TRUE(screenShows("第1课 | 正在下载"));

  ASSERT_TRUE(Driver::selectRow("第1课").ok());
  EXPECT_EQ(status("L1"), app::kQMDownloadPaused);
  // The next lesson starts at once, which it can only do once the slow transfer is gone; the slow segment
  // never lands in the paused lesson's folder.
  EXPECT_TRUE(CacheRoad::runUntil([&] { return status("L2") == app::kQMDownloadDone; }));
  EXPECT_THAT(road_.road().folderContents(0), Not(::testing::Contains("seg1.ts")));
  EXPECT_TRUE(screenShows("第1课 | 暂停下载"));
}

TEST_F(CacheScreenTest, ProgressAndStatusOfADownloadingRowFollowItsRecordLive) {
  setStatuses({{"L1", app::kQMDownloadPaused}});
  open();
  showCachingPage();
  const auto cell =
      std::dynamic_pointer_cast<QMCachingCourseCell>(caching_->myTreeView()->visibleCells().at(1));
  ASSERT_NE(cell, nullptr);
  const auto record = cell->fileInfo();
  ASSERT_NE(record, nullptr);
  record->setProgress(40);
  EXPECT_FLOAT_EQ(cell->progressBar()->progress(), 0.4f);
  record->setStatus(app::kQMDownloadFailed);
  EXPECT_FALSE(cell->failedLabel()->isHidden());
  EXPECT_TRUE(cell->statusLabel()->isHidden());
  record->setStatus(app::kQMDownloadWaiting);
  EXPECT_EQ(cell->statusLabel()->text(), "准备下载");
  EXPECT_EQ(cell->statusImageView()->image()->name(), "DL_wait");
  EXPECT_TRUE(cell->failedLabel()->isHidden());
}

TEST_F(CacheScreenTest, PauseAllAndStartAllActOnThisStageOnly) {
  setStatuses({{"L1", app::kQMDownloadPaused}, {"L2", app::kQMDownloadFailed}});
  open();
  showCachingPage();
  ASSERT_TRUE(Driver::tap("全部暂停").ok());
  EXPECT_EQ(status("L2"), app::kQMDownloadPaused);
  EXPECT_EQ(caching_->pauseAllBtn()->tag(), QMCacheController::kOffersStartAll);
  EXPECT_EQ(caching_->pauseAllBtn()->imageForState(uikit::kControlStateNormal)->name(), "DL_start_all");

  ASSERT_TRUE(Driver::tap("全部开始").ok());
  EXPECT_EQ(caching_->pauseAllBtn()->tag(), QMCacheController::kOffersPauseAll);
  EXPECT_THAT(status("L1"), ::testing::AnyOf(app::kQMDownloadWaiting, app::kQMDownloadRunning));
  EXPECT_THAT(status("L2"), ::testing::AnyOf(app::kQMDownloadWaiting, app::kQMDownloadRunning));
  // The manager's pause-all turns the toggle on both pages.
  QMDownloadHelper::sharedInstance()->pauseAll();
  EXPECT_EQ(caching_->pauseAllBtn()->tag(), QMCacheController::kOffersStartAll);
  EXPECT_EQ(cached_->pauseAllBtn()->tag(), QMCacheController::kOffersStartAll);
  EXPECT_TRUE(screenShows("全部开始"));
}

TEST_F(CacheScreenTest, ClearAllOnEachPageLeavesTheOtherPagesLessonsAlone) {
  setStatuses({{"L1", app::kQMDownloadDone},
               {"L4", app::kQMDownloadDone},
               {"L2", app::kQMDownloadPaused},
               {"L7", app::kQMDownloadFailed}});
  open();
  ASSERT_TRUE(Driver::tap("cachedOpBtn").ok());
  EXPECT_TRUE(screenShows("确定清除所有缓存视频？"));
  ASSERT_TRUE(Driver::answerAlert("取消").ok());
  EXPECT_EQ(status("L1"), app::kQMDownloadDone);

  ASSERT_TRUE(Driver::tap("cachedOpBtn").ok());
  ASSERT_TRUE(Driver::answerAlert("确定").ok());
  // A deleted lesson leaves the store with its record.
  EXPECT_EQ(status("L1"), -1);
  EXPECT_EQ(status("L4"), -1);
  EXPECT_EQ(status("L2"), app::kQMDownloadPaused);
  EXPECT_EQ(status("L7"), app::kQMDownloadFailed);
  EXPECT_FALSE(cached_->noCourseImageView()->isHidden());
  EXPECT_TRUE(screenShows("已缓存(0)"));

  setStatuses({{"L3", app::kQMDownloadDone}});
  showCachingPage();
  ASSERT_TRUE(Driver::tap("cachingCleanBtn").ok());
  ASSERT_TRUE(Driver::answerAlert("确定").ok());
  EXPECT_EQ(status("L2"), -1);
  EXPECT_EQ(status("L7"), -1);
  EXPECT_EQ(status("L3"), app::kQMDownloadDone);
  EXPECT_TRUE(screenShows("正在缓存(0)"));
}

TEST_F(CacheScreenTest, ASwipeOnAChapterDeletesOnlyItsLessonsOfThePagesKind) {
  setStatuses({{"L4", app::kQMDownloadDone}, {"L6", app::kQMDownloadDone}, {"L5", app::kQMDownloadPaused}});
  open();
  ASSERT_TRUE(Driver::swipeDeleteRow("第二章").ok());
  EXPECT_EQ(status("L4"), -1);
  EXPECT_EQ(status("L6"), -1);
  EXPECT_EQ(status("L5"), app::kQMDownloadPaused);
  EXPECT_THAT(Driver::screenText(), Not(HasSubstr("第二章")));
}

TEST_F(CacheScreenTest, ALessonThatCannotPlayShowsTheFileErrorAndNothingPlays) {
  // Done, but its folder holds no playlist; the record names no playlist at all for the other.
  setStatuses({{"L1", app::kQMDownloadDone}, {"L4", app::kQMDownloadDone}});
  pickertest::PickerRoad::course("L4")->fileCacheInfo()->setFileName(std::nullopt);
  open();
  for (const char* lesson : {"第1课", "第4课"}) {
    ASSERT_TRUE(Driver::selectRow(lesson).ok());
    EXPECT_TRUE(screenShows("alert: 文件出错，无法播放 | [取消]")) << lesson;
    EXPECT_EQ(cached_->playerController(), nullptr);
    ASSERT_TRUE(Driver::answerAlert("取消").ok());
  }
}

// Offline play against real downloads of lessons across the three chapters.
class CachePlayTest : public CacheScreenTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(road_.download({"L1", "L4", "L7"}));
    open();
  }
};

TEST_F(CachePlayTest, ADownloadedLessonPlaysFromTheLoopbackServerUnderItsOwnPath) {
  ASSERT_TRUE(Driver::selectRow("第1课").ok());
  ns::RunLoop::main().runPending();
  ASSERT_NE(player(), nullptr);
  const std::string url = player()->currentURL()->absoluteString();
  EXPECT_THAT(url, ::testing::StartsWith("http://127.0.0.1:"));
  EXPECT_THAT(url, ::testing::EndsWith("/S1_@ST1_L1/index.m3u8"));
  EXPECT_TRUE(cached_->localServer()->server().isRunning());
  EXPECT_TRUE(CacheRoad::runUntil([&] { return player()->plitem() && !player()->showLoading(); }));
  EXPECT_EQ(player()->progressSec(), 0u);

  // The next lesson is served by the same server, under its own folder's path, so that a connection kept
  // alive from the first lesson can never be answered with the first lesson's files.
  cached_->playerOnClickedNext(*player(), std::nullopt);
  EXPECT_THAT(player()->currentURL()->absoluteString(), ::testing::EndsWith("/S1_@ST1_L4/index.m3u8"));
  EXPECT_EQ(player()->currentURL()->port(), ns::URL::fromString(url)->port());
}

TEST_F(CachePlayTest, PreviousAndNextWalkTheDownloadedLessonsAcrossChaptersAndUnits) {
  ASSERT_TRUE(Driver::selectRow("第1课").ok());
  ns::RunLoop::main().runPending();
  ASSERT_NE(player(), nullptr);
  cached_->playerOnClickedLast(*player(), std::nullopt);
  EXPECT_TRUE(screenShows("已经是第一个课程了"));
  // From a lesson of a chapter into the unit of the next chapter, and on into the third chapter.
  cached_->playerOnClickedNext(*player(), std::nullopt);
  EXPECT_THAT(playingPath(), HasSubstr("_L4/"));
  cached_->playerOnClickedNext(*player(), std::nullopt);
  EXPECT_THAT(playingPath(), HasSubstr("_L7/"));
  cached_->playerOnClickedNext(*player(), std::nullopt);
  EXPECT_TRUE(screenShows("已经是最后一个课程了"));
  EXPECT_THAT(playingPath(), HasSubstr("_L7/"));
  cached_->playerOnClickedLast(*player(), std::nullopt);
  EXPECT_THAT(playingPath(), HasSubstr("_L4/"));
  cached_->playerOnClickedLast(*player(), std::nullopt);
  EXPECT_THAT(playingPath(), HasSubstr("_L1/"));
}

TEST_F(CachePlayTest, NextFindsThePlayingLessonAfterADownloadRebuiltThePage) {
  ASSERT_TRUE(Driver::selectRow("第1课").ok());
  ns::RunLoop::main().runPending();
  ASSERT_NE(player(), nullptr);
  QMDownloadHelper::sharedInstance()->add(pickertest::PickerRoad::course("L2"));
  ASSERT_TRUE(CacheRoad::runUntil([] { return status("L2") == app::kQMDownloadDone; }));
  // The finished lesson joined the page's tree right after the one playing.
  cached_->playerOnClickedNext(*player(), std::nullopt);
  EXPECT_THAT(playingPath(), HasSubstr("_L2/"));
}

TEST_F(CachePlayTest, BackSavesThePositionIntoTheSubjectAndTellsTheSubjectScreen) {
  downloadtest::NotificationCount updates{std::string(app::kUpdateServerProgressNotification)};
  ASSERT_TRUE(Driver::selectRow("第4课").ok());
  ns::RunLoop::main().runPending();
  ASSERT_NE(player(), nullptr);
  cached_->playerOnClickedNavBack(*player(), std::nullopt);
  EXPECT_EQ(cached_->playerController(), nullptr);
  EXPECT_EQ(updates.count, 1);
  const auto subject = pickertest::PickerRoad::course("L4")->subject();
  EXPECT_EQ(subject->onClassID(), "L4");
  EXPECT_EQ(subject->onStageID(), "ST1");
  EXPECT_EQ(subject->onClassProgress(), "0");
  EXPECT_EQ(updates.lastObject, subject);
  // The server stays for the next play.
  EXPECT_TRUE(cached_->localServer()->server().isRunning());
}

TEST_F(CachePlayTest, TheEndOfALessonSavesItAndPlaysTheNextResigningActiveSavesAndPauses) {
  downloadtest::NotificationCount updates{std::string(app::kUpdateServerProgressNotification)};
  ASSERT_TRUE(Driver::selectRow("第1课").ok());
  ns::RunLoop::main().runPending();
  ASSERT_NE(player(), nullptr);
  cached_->playerDidStop(*player(), std::nullopt);
  EXPECT_EQ(updates.count, 1);
  EXPECT_EQ(pickertest::PickerRoad::course("L1")->subject()->onClassID(), "L1");
  EXPECT_THAT(playingPath(), HasSubstr("_L4/"));

  ns::NotificationCenter::defaultCenter().postNotificationName(
      std::string(uikit::kApplicationWillResignActiveNotification), nullptr);
  EXPECT_EQ(updates.count, 2);
  EXPECT_EQ(pickertest::PickerRoad::course("L1")->subject()->onClassID(), "L4");
  EXPECT_FALSE(player()->isPlaying());
  // A player failure is only written to the console; the lesson stays.
  cached_->playerDidStop(*player(), ns::Error("test", 1));
  EXPECT_EQ(updates.count, 2);
  EXPECT_THAT(playingPath(), HasSubstr("_L4/"));
}

TEST_F(CachePlayTest, FilesNamedWithAQueryStringAreMovedBackBeforeThePlayAndOnlyOnce) {
  const std::string folder = road_.road().lessonFolder(0);
  std::filesystem::rename(folder + "/index.m3u8", folder + "/index.m3u8?sign=abc&t=1");
  std::filesystem::create_directory(folder + "/sub?dir");
  ASSERT_TRUE(Driver::selectRow("第1课").ok());
  ns::RunLoop::main().runPending();
  EXPECT_TRUE(std::filesystem::exists(folder + "/index.m3u8"));
  // Folders are left as they are.
  EXPECT_TRUE(std::filesystem::exists(folder + "/sub?dir"));
  EXPECT_TRUE(CacheRoad::runUntil([&] { return player()->plitem() && !player()->showLoading(); }));
  EXPECT_EQ(QMLessonFolderFiles::moveQueryStringFiles(folder), 0u);
  EXPECT_THAT(QMLessonFolderFiles::allFilesAtPath(folder), ::testing::Contains(folder + "/index.m3u8"));
}

TEST_F(CachePlayTest, ADownloadFinishingRebuildsTheDownloadedPageAndMovesTheTitles) {
  EXPECT_TRUE(screenShows("已缓存(3)"));
  QMDownloadHelper::sharedInstance()->add(pickertest::PickerRoad::course("L2"));
  EXPECT_TRUE(CacheRoad::runUntil([] { return screenShows("正在缓存(1)"); }));
  EXPECT_TRUE(CacheRoad::runUntil([] { return status("L2") == app::kQMDownloadDone; }));
  EXPECT_TRUE(screenShows("正在缓存(0)"));
  EXPECT_TRUE(screenShows("已缓存(4)"));
  EXPECT_TRUE(screenShows("第2课"));
}

}  // namespace
}  // namespace learning::cachetest
