// A download process killed mid-lesson and started again keeps whole files and fetches only what is pending.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <utility>

#include "learning/downloads/download_test_util.h"
#include "sample_backend/media/MediaPaths.h"

extern char** environ;

namespace learning {

namespace {

using downloadtest::DownloadRoad;
using namespace std::chrono_literals;
using ::testing::ElementsAre;

constexpr char kChildTest[] = "QMDownloadHelperReliability.AKilledDownloadResumesWithOnlyItsPendingSegments";
constexpr char kChildHome[] = "QUILLMARK_DOWNLOAD_CHILD_HOME";
constexpr char kChildWebHost[] = "QUILLMARK_DOWNLOAD_CHILD_WEB_HOST";
// "add" queues the lesson; "relaunch" does what a new launch and the learner do: pause all, start all.
constexpr char kChildStart[] = "QUILLMARK_DOWNLOAD_CHILD_START";

// This program again, running only kChildTest over `road`; killed at once, as a crash would, when it goes.
struct ChildProcess {
  ChildProcess(const DownloadRoad& road, const std::string& start) {
    std::vector<std::string> added = {std::string(kChildHome) + "=" + road.home(),
                                      std::string(kChildWebHost) + "=" + road.webHost(),
                                      std::string(kChildStart) + "=" + start};
    std::vector<char*> envp;
    for (char** entry = environ; *entry != nullptr; ++entry) {
      envp.push_back(*entry);
    }
    for (std::string& entry : added) {
      envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::string program = "/proc/self/exe";
    std::string filter = std::string("--gtest_filter=") + kChildTest;
    char* argv[] = {program.data(), filter.data(), nullptr};
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
  }
  ~ChildProcess() {
    if (pid > 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
  }
  pid_t pid = -1;
};

TEST(QMDownloadHelperReliability, AKilledDownloadResumesWithOnlyItsPendingSegments) {
  if (const char* home = std::getenv(kChildHome)) {  // the child: a download manager of a process of its own
    DownloadRoad road(home, std::getenv(kChildWebHost));
    QMDownloadHelper& manager = *QMDownloadHelper::sharedInstance();
    if (std::string(std::getenv(kChildStart)) == "add") {
      manager.add(road.lesson(0));
    } else {
      manager.pauseAll();
      manager.startAll();
    }
    ASSERT_TRUE(road.runUntilStatus(0, app::kQMDownloadDone, 60s));
    return;
  }
  DownloadRoad road({.segmentCount = 6, .segmentDuration = 0.4});
  // Segment 3 comes slowly, so that the child is surely in the middle of it when it is killed.
  road.media().controls().faultNextSegment(3, {.pieceSize = 256, .pauseBetweenPieces = 100ms});
  DownloadRoad::reopenStore();
  {
    ChildProcess child(road, "add");
    ASSERT_GT(child.pid, 0);
    ASSERT_TRUE(road.media().waitForRequest(
        [](const auto& request) {
          return request.target.starts_with(downloadtest::media::segmentPath("v1", 3));
        },
        30s));
  }
  EXPECT_THAT(road.folderContents(0), ElementsAre("K.bin", "index.m3u8", "seg0.ts", "seg1.ts", "seg2.ts"));
  EXPECT_TRUE(road.segmentsStoredIntact(0, 3));
  const std::optional<ns::Data> playlist = road.fileBytes(0, "index.m3u8");
  road.media().clearRecordedRequests();
  ChildProcess child(road, "relaunch");
  ASSERT_GT(child.pid, 0);
  int status = 0;  // the child ends by itself, at the latest at its own deadline
  ::waitpid(std::exchange(child.pid, -1), &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_THAT(road.requests(), ElementsAre("v1 seg3", "v1 seg4", "v1 seg5"));
  EXPECT_TRUE(road.segmentsStoredIntact(0));
  EXPECT_EQ(road.fileBytes(0, "index.m3u8"), playlist);
  DownloadRoad::reopenStore();
  EXPECT_EQ(road.status(0), app::kQMDownloadDone);
  EXPECT_EQ(road.record(0)->progress(), 100);
}

}  // namespace

}  // namespace learning
