// A download process killed in the middle of a lesson and started again: the finished segment files are
// whole, and the lesson goes on with only the segments that were still pending.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/store/QMFileCacheInfo.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "learning/downloads/child_process_test_util.h"
#include "learning/downloads/download_test_util.h"
#include "sample_backend/media/MediaPaths.h"

namespace {

using downloadtest::ChildProcess;
using downloadtest::DownloadRoad;
using ::testing::ElementsAre;

constexpr char kChildTest[] = "QMDownloadHelperChild.DownloadsTheFirstLesson";
constexpr char kChildHome[] = "QUILLMARK_DOWNLOAD_CHILD_HOME";
constexpr char kChildWebHost[] = "QUILLMARK_DOWNLOAD_CHILD_WEB_HOST";
// "add" queues the lesson; "relaunch" does what a new launch and the learner do: pause all, start all.
constexpr char kChildStart[] = "QUILLMARK_DOWNLOAD_CHILD_START";

// The child's side: the download manager of a process of its own, over the parent's home and back end.
TEST(QMDownloadHelperChild, DownloadsTheFirstLesson) {
  const char* home = std::getenv(kChildHome);
  if (home == nullptr) {
    GTEST_SKIP() << "runs only as the child process of the reliability test";
  }
  DownloadRoad road(home, std::getenv(kChildWebHost));
  QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();
  if (std::string(std::getenv(kChildStart)) == "add") {
    manager.add(road.lesson(0));
  } else {
    manager.pauseAll();
    manager.startAll();
  }
  ASSERT_TRUE(road.runUntilStatus(0, kQMDownloadDone, std::chrono::seconds(60)));
}

TEST(QMDownloadHelperReliability, AKilledDownloadResumesWithOnlyItsPendingSegments) {
  sample_backend::media::MediaOptions media = DownloadRoad::smallLessons();
  media.segmentCount = 6;
  DownloadRoad road(media);
  // Segment 3 comes slowly, so that the child is surely in the middle of it when it is killed.
  road.media().controls().faultNextSegment(
      3, {.pieceSize = 256, .pauseBetweenPieces = std::chrono::milliseconds(100)});
  const std::map<std::string, std::string> environment = {{kChildHome, road.home()},
                                                          {kChildWebHost, road.webHost()}};
  DownloadRoad::reopenStore();

  auto environmentWith = [&](const char* start) {
    std::map<std::string, std::string> variables = environment;
    variables[kChildStart] = start;
    return variables;
  };
  {
    ChildProcess child(kChildTest, environmentWith("add"));
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(road.media().waitForRequest(
        [](const auto& request) {
          return request.target.starts_with(sample_backend::media::segmentPath("v1", 3));
        },
        std::chrono::seconds(30)));
    child.kill();
  }
  EXPECT_THAT(road.folderContents(0), ElementsAre("K.bin", "index.m3u8", "seg0.ts", "seg1.ts", "seg2.ts"));
  for (std::size_t segment = 0; segment < 3; ++segment) {
    EXPECT_EQ(road.fileBytes(0, "seg" + std::to_string(segment) + ".ts"),
              road.library().encryptedSegment(segment));
  }
  const std::optional<ns::Data> playlist = road.fileBytes(0, "index.m3u8");

  road.media().clearRecordedRequests();
  {
    ChildProcess child(kChildTest, environmentWith("relaunch"));
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.waitForExit(std::chrono::seconds(60)), 0);
  }
  EXPECT_THAT(road.segmentRequests("v1"), ElementsAre(3, 4, 5));
  EXPECT_EQ(road.playlistRequests("v1"), 0u);
  EXPECT_TRUE(road.segmentsStoredIntact(0));
  EXPECT_EQ(road.fileBytes(0, "index.m3u8"), playlist);
  DownloadRoad::reopenStore();
  EXPECT_EQ(road.status(0), kQMDownloadDone);
  EXPECT_EQ(road.record(0)->progress(), 100);
}

}  // namespace
