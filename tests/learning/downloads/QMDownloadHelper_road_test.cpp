// The download manager's whole road against the sample back end on loopback: server time, signed
// playlist, key file, segments, the queue, and the offline playlist that the rewriter makes of it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMStage.h"
#include "app/store/QMTask.h"
#include "learning/downloads/PlaylistLine.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "learning/downloads/SegmentURL.h"
#include "learning/downloads/ZBM3U8.h"
#include "learning/downloads/download_test_util.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/FileManager.h"

namespace {

using downloadtest::DownloadRoad;
using downloadtest::NotificationCount;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

TEST(QMDownloadHelperRoad, StoresALessonForOfflinePlay) {
  DownloadRoad road;
  NotificationCount success(kQMDLSuccessNotification);
  QMDownloadHelper::sharedInstance()->add(road.lesson(0));
  EXPECT_EQ(road.status(0), kQMDownloadRunning);
  ASSERT_TRUE(road.runUntilStatus(0, kQMDownloadDone));

  const std::shared_ptr<QMFileCacheInfo> record = road.record(0);
  EXPECT_EQ(record->progress(), 100);
  EXPECT_EQ(record->taskCount(), 4);
  EXPECT_TRUE(record->ownTask().empty());
  EXPECT_EQ(success.count(), 1);
  EXPECT_EQ(success.lastObject(), record);
  EXPECT_THAT(road.folderContents(0),
              ElementsAre("K.bin", "index.m3u8", "seg0.ts", "seg1.ts", "seg2.ts", "seg3.ts"));
  EXPECT_TRUE(road.segmentsStoredIntact(0));
  EXPECT_EQ(road.fileBytes(0, "K.bin"), *ns::FileManager::defaultManager().contentsAtPath(
                                            *ns::Bundle::mainBundle()->pathForResource("K", "bin")));
  EXPECT_THAT(road.segmentRequests("v1"), ElementsAre(0, 1, 2, 3));
  EXPECT_EQ(road.playlistRequests("v1"), 1u);

  // The stored playlist is the one served, and its offline rewrite names exactly the stored files.
  const std::string playlistPath = road.lessonFolder(0) + "/index.m3u8";
  ASSERT_TRUE(ZBM3U8::replaceM3U8File(playlistPath, "http://127.0.0.1:8080/").ok());
  const std::string offline =
      ns::stringFromData(*ns::FileManager::defaultManager().contentsAtPath(playlistPath));
  std::vector<std::string> named;
  for (const PlaylistLine& line : splitPlaylistLines(offline)) {
    if (line.kind == PlaylistLine::Kind::kSegment) {
      named.push_back(*segmentFileName(line.text));
      EXPECT_TRUE(road.fileBytes(0, named.back()).has_value()) << line.text;
    }
  }
  EXPECT_EQ(named.size(), 4u);
  EXPECT_NE(offline.find("URI=\"http://127.0.0.1:8080/K.bin\""), std::string::npos);
}

TEST(QMDownloadHelperRoad, TakesOneLessonAtATimeInQueueOrder) {
  DownloadRoad road;
  QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();
  manager.add(road.lesson(0));
  manager.add(road.lesson(1));
  EXPECT_EQ(road.status(0), kQMDownloadRunning);
  EXPECT_EQ(road.status(1), kQMDownloadWaiting);
  ASSERT_TRUE(road.runUntilStatus(1, kQMDownloadDone));
  EXPECT_EQ(road.status(0), kQMDownloadDone);
  EXPECT_TRUE(road.segmentsStoredIntact(0));
  EXPECT_TRUE(road.segmentsStoredIntact(1));

  // Every segment of the first lesson came before any of the second.
  std::vector<std::string> order;
  for (const auto& request : road.media().recordedRequests()) {
    if (request.target.starts_with("/media/")) {
      order.push_back(request.target.substr(7, 2));
    }
  }
  EXPECT_THAT(order, ElementsAre("v1", "v1", "v1", "v1", "v2", "v2", "v2", "v2"));
}

// A waiting, running or finished lesson is not queued again: a finished one keeps its files and counts.
TEST(QMDownloadHelperRoad, AddQueuesOnlyLessonsThatAreNotQueuedPausedOrFailed) {
  DownloadRoad road;
  QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();
  manager.add(road.lesson(0));
  ASSERT_TRUE(road.runUntilStatus(0, kQMDownloadDone));
  road.media().clearRecordedRequests();

  manager.add(road.lesson(0));
  EXPECT_EQ(road.status(0), kQMDownloadDone);
  EXPECT_EQ(road.stage()->cachedVideo(), 1);
  EXPECT_EQ(road.stage()->cachingVideo().value_or(0), 0);

  manager.add(road.lesson(1));
  manager.add(road.lesson(1));
  EXPECT_EQ(road.status(1), kQMDownloadRunning);
  ASSERT_TRUE(road.runUntilStatus(1, kQMDownloadDone));
  EXPECT_TRUE(road.segmentsStoredIntact(0));
  EXPECT_EQ(road.playlistRequests("v1"), 0u);
  EXPECT_EQ(road.playlistRequests("v2"), 1u);

  road.record(2)->setStatus(kQMDownloadFailed);
  manager.add(road.lesson(2));
  ASSERT_TRUE(road.runUntilStatus(2, kQMDownloadDone));
}

TEST(QMDownloadHelperRoad, DeletingTheLessonInFlightCancelsItAndRemovesItsFiles) {
  DownloadRoad road;
  road.media().controls().faultNextSegment(
      1, {.pieceSize = 64, .pauseBetweenPieces = std::chrono::milliseconds(50)});
  QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();
  manager.add(road.lesson(0));
  manager.add(road.lesson(1));
  ASSERT_TRUE(DownloadRoad::runUntil([&] { return road.segmentRequests("v1").size() == 2; }));

  manager.deleteVideo(road.lesson(0));
  EXPECT_EQ(road.record(0), nullptr);
  EXPECT_FALSE(ns::FileManager::defaultManager().fileExistsAtPath(road.lessonFolder(0)));
  EXPECT_TRUE(QMCoreDataHelper::sharedInstance().fetchEntitiesOf<QMTask>(cd::Predicate::allOf({})).empty());
  // The queue is not restarted by a deletion: the next lesson waits for the next start.
  DownloadRoad::runUntil([] { return false; }, std::chrono::milliseconds(200));
  EXPECT_EQ(road.status(1), kQMDownloadWaiting);
  EXPECT_FALSE(ns::FileManager::defaultManager().fileExistsAtPath(road.lessonFolder(0)));

  manager.launchDownloader();
  ASSERT_TRUE(road.runUntilStatus(1, kQMDownloadDone));
  manager.deleteStageCourse(road.stage());
  EXPECT_EQ(road.record(1), nullptr);
  EXPECT_FALSE(ns::FileManager::defaultManager().fileExistsAtPath(road.lessonFolder(1)));
  EXPECT_EQ(road.stage()->cachedVideo().value_or(0), 0);
}

}  // namespace
