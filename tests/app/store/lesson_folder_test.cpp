#include <gtest/gtest.h>

#include "app/store/QMDownloadStatus.h"
#include "platform/foundation/storage/FileManager.h"
#include "store_test_util.h"

namespace app {

namespace storetest {
namespace {

class StoreLessonFolderTest : public StoreCatalogueTest {
 protected:
  // Makes the lesson folder of `lesson` with a playlist in it; returns the folder's path.
  std::string makeFolder(const std::string& lesson) {
    const std::string path =
        helper().applicationDocumentsDirectory() + "/1001/" + *record(lesson)->fileDocment();
    EXPECT_EQ(record(lesson)->lessonFolderPath(), path);
    EXPECT_TRUE(files().createDirectoryAtPath(path, ns::IntermediateDirectories::kYes).ok());
    EXPECT_TRUE(files().createFileAtPath(path + "/index.m3u8", ns::dataFromString("#EXTM3U\n")).ok());
    return path;
  }

  // Sets `lesson`'s status and returns what the store logged meanwhile.
  std::string setStatusLogging(const std::string& lesson, std::int64_t status) {
    testing::internal::CaptureStderr();
    record(lesson)->setStatus(status);
    return testing::internal::GetCapturedStderr();
  }

  static const ns::FileManager& files() { return ns::FileManager::defaultManager(); }
};

TEST_F(StoreLessonFolderTest, GoingBackToNotQueuedDeletesTheFolder) {
  const std::string done = makeFolder("9");
  record("9")->setStatus(kQMDownloadDone);
  EXPECT_EQ(setStatusLogging("9", kQMDownloadNotQueued), "本地下载文件删除成功\n");
  EXPECT_FALSE(files().fileExistsAtPath(done));
  const std::string partial = makeFolder("10");
  record("10")->setStatus(kQMDownloadPaused);
  EXPECT_EQ(setStatusLogging("10", kQMDownloadNotQueued),
            "删除本地文件：" + partial + "\n本地下载文件删除成功\n");
  EXPECT_FALSE(files().fileExistsAtPath(partial));
  // The user's folder and the store file stay.
  EXPECT_TRUE(files().isDirectoryAtPath(helper().applicationDocumentsDirectory() + "/1001"));
  EXPECT_TRUE(files().fileExistsAtPath(helper().applicationDocumentsDirectory() + "/Quillmark.sqlite"));
}

TEST_F(StoreLessonFolderTest, AMissingFolderIsReportedOnlyForAFinishedDownload) {
  record("9")->setStatus(kQMDownloadWaiting);
  EXPECT_EQ(setStatusLogging("9", kQMDownloadNotQueued),
            "删除本地文件：" + *record("9")->lessonFolderPath() + "\n");
  record("10")->setStatus(kQMDownloadDone);
  EXPECT_EQ(setStatusLogging("10", kQMDownloadNotQueued), "本地下载文件删除失败\n");
  EXPECT_EQ(record("10")->status(), kQMDownloadNotQueued);
}

TEST_F(StoreLessonFolderTest, ChangesWithinAPhaseLeaveTheFolderAlone) {
  const std::string path = makeFolder("120");
  EXPECT_EQ(setStatusLogging("120", kQMDownloadNotQueued), "");
  record("120")->setStatus(kQMDownloadRunning);
  EXPECT_EQ(setStatusLogging("120", kQMDownloadPaused), "");
  EXPECT_TRUE(files().fileExistsAtPath(path + "/index.m3u8"));
}

TEST_F(StoreLessonFolderTest, AFolderNameThatLeavesTheUsersFolderIsNeverDeleted) {
  const std::string documents = helper().applicationDocumentsDirectory();
  auto lesson = record("9");
  lesson->setFileDocment("..");
  EXPECT_EQ(lesson->lessonFolderPath(), std::nullopt);
  lesson->setStatus(kQMDownloadDone);
  EXPECT_EQ(setStatusLogging("9", kQMDownloadNotQueued), "本地下载文件删除失败\n");
  lesson->setFileDocment("7_@11_../../..");
  lesson->setStatus(kQMDownloadRunning);
  EXPECT_EQ(setStatusLogging("9", kQMDownloadNotQueued), "删除本地文件：(null)\n下载文件删除失败\n");

  // Without a logged-in user there is no folder to delete either.
  userId_ = std::nullopt;
  record("10")->setStatus(kQMDownloadDone);
  EXPECT_EQ(setStatusLogging("10", kQMDownloadNotQueued), "本地下载文件删除失败\n");
  EXPECT_TRUE(files().fileExistsAtPath(documents + "/Quillmark.sqlite"));
}

}  // namespace
}  // namespace storetest

}  // namespace app
