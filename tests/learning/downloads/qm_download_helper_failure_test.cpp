// How the download manager meets refused or broken replies, pauses, a lost network and the cellular rule.

#include "app/helpers/ZBAlertView.h"
#include "app/store/QMTask.h"
#include "learning/downloads/download_test_util.h"
#include "platform/outside/SimulatedNetwork.h"

namespace learning {

namespace {

using downloadtest::DownloadRoad;
using downloadtest::NotificationCount;
using namespace std::chrono_literals;
using sample_backend::media::MediaFault;
using ::testing::ElementsAre;

// Replies that cannot be stored fail the lesson (status 4) once, leaving no file; the next lesson goes on.
TEST(QMDownloadHelperFailure, APlaylistThatCannotBeStoredFailsTheLessonOnce) {
  const std::vector<std::pair<std::string, MediaFault>> faults = {
      {"status 500", {.failWithStatus = 500u}},
      {"404 typed as a playlist",
       {.failWithStatus = 404u, .contentType = std::string(downloadtest::media::kPlaylistContentType)}},
      {"another playlist type", {.contentType = "application/vnd.apple.mpegurl"}},
      {"type in other letter case", {.contentType = "application/x-mpegurl;charset=utf-8"}},
      {"no type", {.contentType = ""}},
      {"no playlist", {.body = "<html>busy</html>"}},
      {"no fetchable segment",
       {.body = "#EXTM3U\n#EXTINF:10,\nrelative/seg0.ts\n#EXTINF:10,\nhttps://h/seg1.ts\n"}},
  };
  for (const auto& [name, fault] : faults) {
    SCOPED_TRACE(name);
    DownloadRoad road;
    road.media().controls().faultNextPlaylist(fault);
    QMDownloadHelper::sharedInstance()->add(road.lesson(0));
    QMDownloadHelper::sharedInstance()->add(road.lesson(1));
    ASSERT_TRUE(road.runUntilStatus(1, app::kQMDownloadDone));
    EXPECT_EQ(road.status(0), app::kQMDownloadFailed);
    EXPECT_THAT(road.requests(),
                ElementsAre("v1 playlist", "v2 playlist", "v2 seg0", "v2 seg1", "v2 seg2", "v2 seg3"));
    EXPECT_THAT(road.folderContents(0), ::testing::IsEmpty());
    EXPECT_EQ(road.record(0)->taskCount().value_or(0), 0);
  }
}

// A broken segment leaves no file and the stored ones as they are; a restart fetches only pending ones.
TEST(QMDownloadHelperFailure, ABrokenSegmentFailsTheLessonAndResumesFromThePendingOnes) {
  const std::vector<std::pair<std::string, MediaFault>> faults = {
      {"status 503", {.failWithStatus = 503u}},
      {"wrong type", {.contentType = "video/mp2t"}},
      {"cut short", {.truncateAfterBytes = 1000u}},
      {"reset", {.dropAfterBytes = 1000u, .pieceSize = 500, .pauseBetweenPieces = 5ms}},
  };
  for (const auto& [name, fault] : faults) {
    SCOPED_TRACE(name);
    DownloadRoad road;
    road.media().controls().faultNextSegment(2, fault);
    QMDownloadHelper::sharedInstance()->add(road.lesson(0));
    ASSERT_TRUE(road.runUntilStatus(0, app::kQMDownloadFailed));
    EXPECT_THAT(road.folderContents(0), ElementsAre("K.bin", "index.m3u8", "seg0.ts", "seg1.ts"));
    EXPECT_EQ(road.record(0)->ownTask().size(), 2u);
    EXPECT_EQ(road.record(0)->progress(), 50);
    road.media().clearRecordedRequests();
    QMDownloadHelper::sharedInstance()->startAll();
    ASSERT_TRUE(road.runUntilStatus(0, app::kQMDownloadDone));
    EXPECT_THAT(road.requests(), ElementsAre("v1 seg2", "v1 seg3"));
    EXPECT_TRUE(road.segmentsStoredIntact(0));
  }
}

// A stored URL whose scheme lost a slash or its case is mended before the fetch; a non-URL fails the lesson.
TEST(QMDownloadHelperFailure, MendsTheSchemeOfStoredSegmentURLs) {
  DownloadRoad road;
  road.media().controls().faultNextSegment(1, {.failWithStatus = 500u});
  QMDownloadHelper::sharedInstance()->add(road.lesson(0));
  ASSERT_TRUE(road.runUntilStatus(0, app::kQMDownloadFailed));
  for (const std::shared_ptr<app::QMTask>& task : road.record(0)->ownTask()) {
    const std::string url = *task->taskURL();
    task->setTaskURL((url.find("seg1.ts") != std::string::npos ? "HTTP://" : "http:/") + url.substr(7));
  }
  QMDownloadHelper::sharedInstance()->startAll();
  ASSERT_TRUE(road.runUntilStatus(0, app::kQMDownloadDone));
  EXPECT_TRUE(road.segmentsStoredIntact(0));

  road.media().controls().faultNextSegment(1, {.failWithStatus = 500u});
  QMDownloadHelper::sharedInstance()->add(road.lesson(1));
  ASSERT_TRUE(road.runUntilStatus(1, app::kQMDownloadFailed));
  road.record(1)->ownTask().front()->setTaskURL("ht");
  QMDownloadHelper::sharedInstance()->startAll();
  ASSERT_TRUE(road.runUntilStatus(1, app::kQMDownloadFailed));
  EXPECT_THAT(road.folderContents(1), ElementsAre("K.bin", "index.m3u8", "seg0.ts"));
}

TEST(QMDownloadHelperFailure, AServerTimeFailureFailsTheLesson) {
  DownloadRoad road;
  road.api().controls().refuseNextRequest("/common/get/time", 9999);
  QMDownloadHelper::sharedInstance()->add(road.lesson(0));
  ASSERT_TRUE(road.runUntilStatus(0, app::kQMDownloadFailed));
  EXPECT_TRUE(road.requests().empty());
}

// A paused current lesson's transfer stops before the next lesson starts: none of it lands in that folder.
TEST(QMDownloadHelperFailure, PausingTheCurrentLessonCancelsItsTransfer) {
  DownloadRoad road;
  ASSERT_TRUE(road.queueTwoLessonsUntilASlowSegment());
  road.record(0)->setStatus(app::kQMDownloadPaused);
  QMDownloadHelper::sharedInstance()->launchDownloader();
  ASSERT_TRUE(road.runUntilStatus(1, app::kQMDownloadDone));
  EXPECT_TRUE(road.segmentsStoredIntact(1));
  EXPECT_EQ(road.status(0), app::kQMDownloadPaused);
  EXPECT_THAT(road.folderContents(0), ElementsAre("K.bin", "index.m3u8", "seg0.ts"));
}

// pauseAll() announces itself even with nothing to pause; a lost network pauses everything until startAll().
TEST(QMDownloadHelperFailure, LosingTheNetworkPausesEverythingUntilStartAll) {
  DownloadRoad road;
  NotificationCount pauses(kQMDLPauseAllNotification);
  QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();
  manager.pauseAll();
  EXPECT_EQ(pauses.count, 1);
  EXPECT_EQ(road.status(0), app::kQMDownloadNotQueued);
  ASSERT_TRUE(road.queueTwoLessonsUntilASlowSegment());
  outside::SimulatedNetwork::setStatus(outside::NotReachable);
  EXPECT_EQ(pauses.count, 2);
  EXPECT_EQ(road.status(0), app::kQMDownloadPaused);
  EXPECT_EQ(road.status(1), app::kQMDownloadPaused);
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWiFi);
  DownloadRoad::runUntil([] { return false; }, 200ms);
  EXPECT_EQ(road.status(0), app::kQMDownloadPaused);
  EXPECT_THAT(road.folderContents(0), ElementsAre("K.bin", "index.m3u8", "seg0.ts"));

  road.media().clearRecordedRequests();
  manager.startAll();
  ASSERT_TRUE(road.runUntilStatus(1, app::kQMDownloadDone));
  EXPECT_EQ(road.status(0), app::kQMDownloadDone);
  EXPECT_THAT(road.requests(), ElementsAre("v1 seg1", "v1 seg2", "v1 seg3", "v2 playlist", "v2 seg0",
                                           "v2 seg1", "v2 seg2", "v2 seg3"));
  EXPECT_TRUE(road.segmentsStoredIntact(0));
  EXPECT_TRUE(road.segmentsStoredIntact(1));
}

// Wi-Fi only, on cellular: each transfer's end pauses all and stores nothing, until going on is remembered.
TEST(QMDownloadHelperFailure, TheCellularRuleHoldsDownloadsBack) {
  DownloadRoad road;
  NotificationCount pauses(kQMDLPauseAllNotification);
  app::QMUser& user = *app::QMUser::sharedInstance();
  user.setOnlyWifiDown(true);
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWWAN);
  QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();
  manager.add(road.lesson(0));
  ASSERT_TRUE(road.runUntilStatus(0, app::kQMDownloadPaused));
  EXPECT_EQ(pauses.count, 1);
  EXPECT_THAT(road.requests(), ElementsAre("v1 playlist"));
  EXPECT_THAT(road.folderContents(0), ::testing::IsEmpty());

  const auto goOn = std::make_shared<app::MyButton>();
  goOn->setTitle("继续下载", uikit::kControlStateNormal);
  goOn->setTag(QMDownloadHelper::kGoOnButtonIndex);
  manager.alertViewDidOnClickedButton(*std::make_shared<app::ZBAlertView>(uikit::Rect{}), *goOn);
  EXPECT_TRUE(user.keepRememberDown());
  manager.startAll();
  ASSERT_TRUE(road.runUntilStatus(0, app::kQMDownloadDone));
  EXPECT_TRUE(road.segmentsStoredIntact(0));
}

}  // namespace

}  // namespace learning
