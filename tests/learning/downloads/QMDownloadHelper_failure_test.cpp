// How the download manager meets failures on the road: refused or broken replies fail the lesson without
// leaving a damaged file, a paused lesson gives way at once, a lost network pauses everything, the
// cellular rule holds downloads back, and a resumed lesson fetches only what is still pending.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/helpers/ZBAlertView.h"
#include "app/session/QMUser.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMTask.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "learning/downloads/download_test_util.h"
#include "platform/outside/SimulatedNetwork.h"
#include "sample_backend/media/MediaService.h"

namespace {

using downloadtest::DownloadRoad;
using downloadtest::NotificationCount;
using sample_backend::media::MediaFault;
using ::testing::ElementsAre;

// Queues lessons 0 and 1; true once lesson 0's segment 1 is on the wire, its reply kept slow so that a
// test can act meanwhile.
bool queueTwoLessonsUntilASlowSegment(DownloadRoad& road) {
  road.media().controls().faultNextSegment(
      1, {.pieceSize = 64, .pauseBetweenPieces = std::chrono::milliseconds(40)});
  QMDownloadHelper::sharedInstance()->add(road.lesson(0));
  QMDownloadHelper::sharedInstance()->add(road.lesson(1));
  return DownloadRoad::runUntil([&] { return road.segmentRequests("v1").size() == 2; });
}

std::string describe(const MediaFault& fault) {
  return fault.failWithStatus       ? "status " + std::to_string(*fault.failWithStatus)
         : fault.contentType        ? "type \"" + *fault.contentType + "\""
         : fault.body               ? "body \"" + *fault.body + "\""
         : fault.truncateAfterBytes ? "cut short"
                                    : "reset";
}

// Replies that cannot be stored fail the lesson (status 4) once; the next lesson is then downloaded.
TEST(QMDownloadHelperFailure, APlaylistThatCannotBeStoredFailsTheLessonOnce) {
  const std::vector<MediaFault> faults = {
      {.failWithStatus = 500u},
      {.failWithStatus = 404u, .contentType = std::string(sample_backend::media::kPlaylistContentType)},
      {.contentType = "application/vnd.apple.mpegurl"},
      {.contentType = "application/x-mpegurl;charset=utf-8"},
      {.contentType = ""},
      {.body = "<html>busy</html>"},
      {.body = "#EXTM3U\n#EXTINF:10,\nrelative/seg0.ts\n#EXTINF:10,\nhttps://h/seg1.ts\n"},
  };
  for (const MediaFault& fault : faults) {
    SCOPED_TRACE(describe(fault));
    DownloadRoad road;
    road.media().controls().faultNextPlaylist(fault);
    QMDownloadHelper::sharedInstance()->add(road.lesson(0));
    QMDownloadHelper::sharedInstance()->add(road.lesson(1));
    ASSERT_TRUE(road.runUntilStatus(1, kQMDownloadDone));
    EXPECT_EQ(road.status(0), kQMDownloadFailed);
    EXPECT_EQ(road.playlistRequests("v1"), 1u);
    EXPECT_TRUE(road.segmentRequests("v1").empty());
    EXPECT_THAT(road.folderContents(0), ::testing::IsEmpty());
    EXPECT_EQ(road.record(0)->taskCount().value_or(0), 0);
  }
}

// A segment that fails part-way leaves no file under its name, and the stored ones stay as they are;
// starting again fetches only the segments still pending.
TEST(QMDownloadHelperFailure, ABrokenSegmentFailsTheLessonAndResumesFromThePendingOnes) {
  const std::vector<MediaFault> faults = {
      {.failWithStatus = 503u},
      {.contentType = "video/mp2t"},
      {.truncateAfterBytes = 1000u},
      {.dropAfterBytes = 1000u, .pieceSize = 500, .pauseBetweenPieces = std::chrono::milliseconds(5)},
  };
  for (const MediaFault& fault : faults) {
    SCOPED_TRACE(describe(fault));
    DownloadRoad road;
    road.media().controls().faultNextSegment(2, fault);
    QMDownloadHelper::sharedInstance()->add(road.lesson(0));
    ASSERT_TRUE(road.runUntilStatus(0, kQMDownloadFailed));
    EXPECT_THAT(road.folderContents(0), ElementsAre("K.bin", "index.m3u8", "seg0.ts", "seg1.ts"));
    EXPECT_EQ(road.record(0)->ownTask().size(), 2u);
    EXPECT_EQ(road.record(0)->progress(), 50);

    road.media().clearRecordedRequests();
    QMDownloadHelper::sharedInstance()->startAll();
    ASSERT_TRUE(road.runUntilStatus(0, kQMDownloadDone));
    EXPECT_THAT(road.segmentRequests("v1"), ElementsAre(2, 3));
    EXPECT_EQ(road.playlistRequests("v1"), 0u);
    EXPECT_TRUE(road.segmentsStoredIntact(0));
  }
}

// Stored segment URLs whose scheme lost a slash or its letter case are mended before they are fetched; a
// text that is no URL at all fails the lesson.
TEST(QMDownloadHelperFailure, MendsTheSchemeOfStoredSegmentURLs) {
  DownloadRoad road;
  road.media().controls().faultNextSegment(1, {.failWithStatus = 500u});
  QMDownloadHelper::sharedInstance()->add(road.lesson(0));
  ASSERT_TRUE(road.runUntilStatus(0, kQMDownloadFailed));
  for (const std::shared_ptr<QMTask>& task : road.record(0)->ownTask()) {
    const std::string url = *task->taskURL();
    task->setTaskURL((url.find("seg1.ts") != std::string::npos ? "HTTP://" : "http:/") + url.substr(7));
  }
  QMDownloadHelper::sharedInstance()->startAll();
  ASSERT_TRUE(road.runUntilStatus(0, kQMDownloadDone));
  EXPECT_TRUE(road.segmentsStoredIntact(0));

  road.media().controls().faultNextSegment(1, {.failWithStatus = 500u});
  QMDownloadHelper::sharedInstance()->add(road.lesson(1));
  ASSERT_TRUE(road.runUntilStatus(1, kQMDownloadFailed));
  road.record(1)->ownTask().front()->setTaskURL("ht");
  QMDownloadHelper::sharedInstance()->startAll();
  ASSERT_TRUE(road.runUntilStatus(1, kQMDownloadFailed));
  EXPECT_THAT(road.folderContents(1), ElementsAre("K.bin", "index.m3u8", "seg0.ts"));
}

TEST(QMDownloadHelperFailure, AServerTimeFailureFailsTheLesson) {
  DownloadRoad road;
  road.api().controls().refuseNextRequest("/common/get/time", 9999);
  QMDownloadHelper::sharedInstance()->add(road.lesson(0));
  ASSERT_TRUE(road.runUntilStatus(0, kQMDownloadFailed));
  EXPECT_EQ(road.playlistRequests("v1"), 0u);
}

// A lesson that a screen pauses gives way at once: its transfer stops before the next lesson starts, so no
// byte of it reaches the next lesson's folder.
TEST(QMDownloadHelperFailure, PausingTheCurrentLessonCancelsItsTransfer) {
  DownloadRoad road;
  ASSERT_TRUE(queueTwoLessonsUntilASlowSegment(road));
  QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();

  road.record(0)->setStatus(kQMDownloadPaused);
  manager.launchDownloader();
  ASSERT_TRUE(road.runUntilStatus(1, kQMDownloadDone));
  EXPECT_TRUE(road.segmentsStoredIntact(1));
  EXPECT_EQ(road.status(0), kQMDownloadPaused);
  EXPECT_THAT(road.folderContents(0), ElementsAre("K.bin", "index.m3u8", "seg0.ts"));
}

TEST(QMDownloadHelperFailure, LosingTheNetworkPausesEverythingUntilStartAll) {
  DownloadRoad road;
  NotificationCount pauses(kQMDLPauseAllNotification);
  ASSERT_TRUE(queueTwoLessonsUntilASlowSegment(road));
  QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();

  outside::SimulatedNetwork::setStatus(outside::NotReachable);
  EXPECT_EQ(pauses.count(), 1);
  EXPECT_EQ(road.status(0), kQMDownloadPaused);
  EXPECT_EQ(road.status(1), kQMDownloadPaused);
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWiFi);
  DownloadRoad::runUntil([] { return false; }, std::chrono::milliseconds(200));
  EXPECT_EQ(road.status(0), kQMDownloadPaused);
  EXPECT_THAT(road.folderContents(0), ElementsAre("K.bin", "index.m3u8", "seg0.ts"));

  road.media().clearRecordedRequests();
  manager.startAll();
  ASSERT_TRUE(road.runUntilStatus(1, kQMDownloadDone));
  EXPECT_EQ(road.status(0), kQMDownloadDone);
  EXPECT_THAT(road.segmentRequests("v1"), ElementsAre(1, 2, 3));
  EXPECT_TRUE(road.segmentsStoredIntact(0));
  EXPECT_TRUE(road.segmentsStoredIntact(1));
}

// On a cellular network with the Wi-Fi-only switch on, the end of a transfer pauses everything and stores
// nothing of it, until the learner's choice to go on is remembered.
TEST(QMDownloadHelperFailure, TheCellularRuleHoldsDownloadsBack) {
  DownloadRoad road;
  NotificationCount pauses(kQMDLPauseAllNotification);
  QMUser& user = *QMUser::sharedInstance();
  user.setOnlyWifiDown(true);
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWWAN);
  QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();
  manager.add(road.lesson(0));
  ASSERT_TRUE(road.runUntilStatus(0, kQMDownloadPaused));
  EXPECT_EQ(pauses.count(), 1);
  EXPECT_EQ(road.playlistRequests("v1"), 1u);
  EXPECT_THAT(road.folderContents(0), ::testing::IsEmpty());

  const auto panel = std::make_shared<ZBAlertView>(uikit::Rect{});
  const auto goOn = std::make_shared<MyButton>();
  goOn->setTitle("继续下载", uikit::kControlStateNormal);
  manager.alertViewDidOnClickedButton(*panel, *goOn);
  EXPECT_TRUE(user.keepRememberDown());
  manager.startAll();
  ASSERT_TRUE(road.runUntilStatus(0, kQMDownloadDone));
  EXPECT_TRUE(road.segmentsStoredIntact(0));
}

TEST(QMDownloadHelperFailure, PauseAllAnnouncesItselfEvenWithNothingToPause) {
  DownloadRoad road;
  NotificationCount pauses(kQMDLPauseAllNotification);
  QMDownloadHelper::sharedInstance()->pauseAll();
  EXPECT_EQ(pauses.count(), 1);
  EXPECT_EQ(road.status(0), kQMDownloadNotQueued);
}

}  // namespace
