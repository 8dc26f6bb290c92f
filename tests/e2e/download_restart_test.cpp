// A restart of the quillmark executable in the middle of a download: the first run queues a stage's lessons
// and quits while they are being fetched; the second, with the same home, finds them on the stage's cache
// screen, resumes them, and every lesson folder ends complete.

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>

#include "e2e/quillmark_process_test_util.h"

namespace {

using e2e::ProcessRun;
using e2e::runQuillmark;

constexpr std::size_t kStageLessons = 8;
constexpr int kSegmentsPerLesson = 6;

// The number of lesson folders under the sample learner's download folder in `home` that hold a playlist and
// every segment.
std::size_t completeLessonFolders(const std::string& home) {
  const std::filesystem::path learnerFolder = std::filesystem::path(home) / "Documents" / "20160001";
  std::error_code error;
  std::size_t complete = 0;
  for (const auto& entry : std::filesystem::directory_iterator(learnerFolder, error)) {
    bool whole = std::filesystem::exists(entry.path() / "index.m3u8");
    for (int segment = 0; whole && segment < kSegmentsPerLesson; ++segment) {
      whole = std::filesystem::exists(entry.path() / ("seg" + std::to_string(segment) + ".ts"));
    }
    complete += whole ? 1 : 0;
  }
  return complete;
}

TEST(DownloadRestartTest, DownloadsLeftAtQuitResumeAfterARestartAndComplete) {
  e2e::TemporaryFolder folder;
  const std::string home = folder.path("home");
  const std::chrono::seconds deadline(180);

  const ProcessRun interrupted =
      runQuillmark({"--home", home, "--script", std::string(E2E_SCRIPTS_DIR) + "/download_interrupted.qms"},
                   folder, deadline);
  ASSERT_EQ(interrupted.exitStatus, 0) << interrupted.errors << interrupted.out;
  ASSERT_LT(completeLessonFolders(home), kStageLessons) << "the first run ended before its downloads did";

  const ProcessRun resumed = runQuillmark(
      {"--home", home, "--script", std::string(E2E_SCRIPTS_DIR) + "/download_resumed.qms"}, folder, deadline);
  ASSERT_EQ(resumed.exitStatus, 0) << resumed.errors << resumed.out;
  // The lessons waited paused, then all came down.
  const std::size_t paused = resumed.out.find("> waitfor 暂停下载\n");
  const std::size_t done =
      resumed.out.find("button cachedBtn: [已缓存(8)]\nbutton cachingBtn: [正在缓存(0)]");
  EXPECT_NE(paused, std::string::npos) << resumed.out;
  EXPECT_NE(done, std::string::npos) << resumed.out;
  EXPECT_LT(paused, done) << resumed.out;
  EXPECT_EQ(completeLessonFolders(home), kStageLessons);
}

}  // namespace
