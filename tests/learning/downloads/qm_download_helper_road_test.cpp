// The download manager's whole road against the sample back end on loopback, and the queue.

#include "app/store/QMTask.h"
#include "learning/downloads/SegmentURL.h"
#include "learning/downloads/ZBM3U8.h"
#include "learning/downloads/download_test_util.h"
#include "platform/avfoundation/PlaylistLine.h"
#include "platform/foundation/storage/Bundle.h"

namespace learning {

namespace {

using downloadtest::DownloadRoad;
using namespace std::chrono_literals;
using ::testing::ElementsAre;

// Lessons are stored one at a time, in queue order; a waiting, running or finished lesson (files and counts
// kept) is not queued again, a failed one is.
TEST(QMDownloadHelperRoad, StoresLessonsForOfflinePlayOneAtATimeInQueueOrder) {
  DownloadRoad road;
  downloadtest::NotificationCount success(kQMDLSuccessNotification);
  QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();
  for (const std::size_t lesson : {0, 1, 0, 1}) {
    manager.add(road.lesson(lesson));
  }
  EXPECT_EQ(road.status(0), app::kQMDownloadRunning);
  EXPECT_EQ(road.status(1), app::kQMDownloadWaiting);
  ASSERT_TRUE(road.runUntilStatus(0, app::kQMDownloadDone));
  const std::shared_ptr<app::QMFileCacheInfo> record = road.record(0);
  EXPECT_EQ(success.count, 1);
  EXPECT_EQ(success.lastObject, record);
  ASSERT_TRUE(road.runUntilStatus(1, app::kQMDownloadDone));
  EXPECT_EQ(success.count, 2);
  EXPECT_EQ(record->progress(), 100);
  EXPECT_EQ(record->taskCount(), 4);
  EXPECT_TRUE(record->ownTask().empty());
  EXPECT_THAT(road.folderContents(0),
              ElementsAre("K.bin", "index.m3u8", "seg0.ts", "seg1.ts", "seg2.ts", "seg3.ts"));
  EXPECT_TRUE(road.segmentsStoredIntact(0));
  EXPECT_TRUE(road.segmentsStoredIntact(1));
  EXPECT_EQ(road.fileBytes(0, "K.bin"), *ns::FileManager::defaultManager().contentsAtPath(
                                            *ns::Bundle::mainBundle()->pathForResource("K", "bin")));
  EXPECT_THAT(road.requests(), ElementsAre("v1 playlist", "v1 seg0", "v1 seg1", "v1 seg2", "v1 seg3",
                                           "v2 playlist", "v2 seg0", "v2 seg1", "v2 seg2", "v2 seg3"));
  // The stored playlist is the one served, and its offline rewrite names exactly the stored files.
  const std::string playlistPath = road.lessonFolder(0) + "/index.m3u8";
  ASSERT_TRUE(ZBM3U8::replaceM3U8File(playlistPath, "http://127.0.0.1:8080/").ok());
  const std::string offline =
      ns::stringFromData(*ns::FileManager::defaultManager().contentsAtPath(playlistPath));
  std::size_t named = 0;
  for (const av::PlaylistLine& line : av::splitPlaylistLines(offline)) {
    if (line.kind == av::PlaylistLine::Kind::kSegment) {
      ++named;
      EXPECT_TRUE(road.fileBytes(0, *segmentFileName(line.text)).has_value()) << line.text;
    }
  }
  EXPECT_EQ(named, 4u);
  EXPECT_NE(offline.find("URI=\"http://127.0.0.1:8080/K.bin\""), std::string::npos);

  road.media().clearRecordedRequests();
  manager.add(road.lesson(0));
  EXPECT_EQ(road.status(0), app::kQMDownloadDone);
  EXPECT_EQ(road.stage()->cachedVideo(), 2);
  EXPECT_EQ(road.stage()->cachingVideo().value_or(0), 0);
  road.record(2)->setStatus(app::kQMDownloadFailed);
  manager.add(road.lesson(2));
  ASSERT_TRUE(road.runUntilStatus(2, app::kQMDownloadDone));
  EXPECT_TRUE(road.segmentsStoredIntact(0));
  EXPECT_THAT(road.requests(), ElementsAre("v3 playlist", "v3 seg0", "v3 seg1", "v3 seg2", "v3 seg3"));
}

TEST(QMDownloadHelperRoad, DeletingTheLessonInFlightCancelsItAndRemovesItsFiles) {
  DownloadRoad road;
  ASSERT_TRUE(road.queueTwoLessonsUntilASlowSegment());
  QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();
  manager.deleteVideo(road.lesson(0));
  EXPECT_EQ(road.record(0), nullptr);
  EXPECT_FALSE(ns::FileManager::defaultManager().fileExistsAtPath(road.lessonFolder(0)));
  EXPECT_TRUE(
      app::QMCoreDataHelper::sharedInstance().fetchEntitiesOf<app::QMTask>(cd::Predicate::allOf({})).empty());
  // The queue is not restarted by a deletion: the next lesson waits for the next start.
  DownloadRoad::runUntil([] { return false; }, 200ms);
  EXPECT_EQ(road.status(1), app::kQMDownloadWaiting);
  EXPECT_FALSE(ns::FileManager::defaultManager().fileExistsAtPath(road.lessonFolder(0)));
  manager.launchDownloader();
  ASSERT_TRUE(road.runUntilStatus(1, app::kQMDownloadDone));
  manager.deleteStageCourse(road.stage());
  EXPECT_EQ(road.record(1), nullptr);
  EXPECT_FALSE(ns::FileManager::defaultManager().fileExistsAtPath(road.lessonFolder(1)));
  EXPECT_EQ(road.stage()->cachedVideo().value_or(0), 0);
}

// A server time that comes back once its lesson was deleted starts nothing: as after any deletion, the next
// lesson waits for the next start.
TEST(QMDownloadHelperRoad, AServerTimeThatComesAfterItsLessonWasDeletedStartsNothing) {
  DownloadRoad road;
  const std::string serverTimePath(app::QMCourseDataModel::kServerTimePath);
  road.api().controls().delayNextReply(serverTimePath, 300ms);
  QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();
  manager.add(road.lesson(0));
  road.record(1)->setStatus(app::kQMDownloadWaiting);
  ASSERT_TRUE(
      DownloadRoad::runUntil([&] { return road.api().recordedRequests(serverTimePath).size() == 1; }));
  manager.deleteVideo(road.lesson(0));
  DownloadRoad::runUntil([] { return false; }, 800ms);
  EXPECT_EQ(road.status(1), app::kQMDownloadWaiting);
  EXPECT_TRUE(road.requests().empty());
}

}  // namespace

}  // namespace learning
