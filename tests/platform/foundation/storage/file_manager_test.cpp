#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <string>
#include <vector>

#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/PosixError.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace ns {
namespace {

class FileManagerTest : public ::testing::Test {
 protected:
  std::string path(const std::string& relativePath) const { return sandbox_.path(relativePath); }

  void write(const std::string& relativePath, const std::string& text) {
    ASSERT_TRUE(files_.createFileAtPath(path(relativePath), dataFromString(text)).ok()) << relativePath;
  }

  std::string read(const std::string& relativePath) const {
    Result<Data> contents = files_.contentsAtPath(path(relativePath));
    return contents.ok() ? stringFromData(*contents) : "<" + contents.error().localizedDescription() + ">";
  }

  std::vector<std::string> namesIn(const std::string& relativePath) const {
    Result<std::vector<std::string>> names = files_.contentsOfDirectoryAtPath(path(relativePath));
    return names.ok() ? *names : std::vector<std::string>{"<error>"};
  }

  static void expectPosixError(const Status& status, int code) {
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().domain(), kPOSIXErrorDomain);
    EXPECT_EQ(status.error().code(), code);
  }

  testutil::TemporarySandbox sandbox_;
  FileManager& files_ = FileManager::defaultManager();
};

TEST_F(FileManagerTest, CreatesDirectoriesWithAndWithoutIntermediates) {
  EXPECT_TRUE(files_.createDirectoryAtPath(path("a/b/c"), IntermediateDirectories::kYes).ok());
  EXPECT_TRUE(files_.isDirectoryAtPath(path("a/b/c")));
  EXPECT_TRUE(files_.createDirectoryAtPath(path("a/b/c"), IntermediateDirectories::kYes).ok())
      << "an existing directory is fine with intermediates";

  expectPosixError(files_.createDirectoryAtPath(path("a/b/c"), IntermediateDirectories::kNo), EEXIST);
  expectPosixError(files_.createDirectoryAtPath(path("x/y"), IntermediateDirectories::kNo), ENOENT);
  EXPECT_TRUE(files_.createDirectoryAtPath(path("a/d"), IntermediateDirectories::kNo).ok());

  write("file", "x");
  expectPosixError(files_.createDirectoryAtPath(path("file"), IntermediateDirectories::kYes), EEXIST);
}

TEST_F(FileManagerTest, AtomicWriteReplacesTheFileAndLeavesNoTemporaryFile) {
  write("index.m3u8", "first");
  write("index.m3u8", "second, longer than the first");

  const Data bytes{0, 1, 2, 255, 0};
  ASSERT_TRUE(files_.createFileAtPath(path("K.bin"), bytes).ok());

  EXPECT_EQ(read("index.m3u8"), "second, longer than the first");
  EXPECT_EQ(*files_.contentsAtPath(path("K.bin")), bytes);
  EXPECT_EQ(namesIn(""), (std::vector<std::string>{"K.bin", "index.m3u8"}));
}

TEST_F(FileManagerTest, WriteIntoAMissingFolderFailsAndReadOfAMissingFileFails) {
  expectPosixError(files_.createFileAtPath(path("missing/file"), dataFromString("x")), ENOENT);

  Result<Data> missing = files_.contentsAtPath(path("missing-file"));
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code(), ENOENT);
  EXPECT_EQ(missing.error().userInfo().at(std::string(kFilePathErrorKey)), Value(path("missing-file")));
}

TEST_F(FileManagerTest, AttributesGiveKindSizeAndModificationDate) {
  write("segment.ts", "12345");
  ASSERT_TRUE(files_.createDirectoryAtPath(path("folder"), IntermediateDirectories::kNo).ok());

  Result<FileAttributes> file = files_.attributesOfItemAtPath(path("segment.ts"));
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(file->type, FileType::kRegular);
  EXPECT_EQ(file->size, 5u);
  EXPECT_LT(std::fabs(file->modificationDate.timeIntervalSinceDate(Date::now())), 600.0);

  EXPECT_EQ(files_.attributesOfItemAtPath(path("folder"))->type, FileType::kDirectory);
  EXPECT_EQ(files_.attributesOfItemAtPath(path("missing")).error().code(), ENOENT);
}

TEST_F(FileManagerTest, ListsDirectoryNamesInOrder) {
  write("b", "");
  write("a?query=1", "");
  ASSERT_TRUE(files_.createDirectoryAtPath(path("c"), IntermediateDirectories::kNo).ok());

  EXPECT_EQ(namesIn(""), (std::vector<std::string>{"a?query=1", "b", "c"}));
  EXPECT_EQ(files_.contentsOfDirectoryAtPath(path("missing")).error().code(), ENOENT);
  EXPECT_EQ(files_.contentsOfDirectoryAtPath(path("b")).error().code(), ENOTDIR);
}

TEST_F(FileManagerTest, MoveRenamesButNeverReplaces) {
  write("index.m3u8?token=1", "playlist");
  write("other", "keep me");

  EXPECT_TRUE(files_.moveItemAtPath(path("index.m3u8?token=1"), path("index.m3u8")).ok());
  EXPECT_EQ(read("index.m3u8"), "playlist");
  EXPECT_FALSE(files_.fileExistsAtPath(path("index.m3u8?token=1")));

  expectPosixError(files_.moveItemAtPath(path("index.m3u8"), path("other")), EEXIST);
  EXPECT_EQ(read("other"), "keep me");
  EXPECT_EQ(read("index.m3u8"), "playlist");
  expectPosixError(files_.moveItemAtPath(path("missing"), path("target")), ENOENT);
}

TEST_F(FileManagerTest, CopiesFoldersRecursivelyButNeverOntoAnExistingItem) {
  ASSERT_TRUE(files_.createDirectoryAtPath(path("lesson/sub"), IntermediateDirectories::kYes).ok());
  write("lesson/index.m3u8", "playlist");
  write("lesson/sub/0.ts", "segment");

  ASSERT_TRUE(files_.copyItemAtPath(path("lesson"), path("copy")).ok());
  EXPECT_EQ(read("copy/index.m3u8"), "playlist");
  EXPECT_EQ(read("copy/sub/0.ts"), "segment");

  expectPosixError(files_.copyItemAtPath(path("lesson/index.m3u8"), path("copy/sub/0.ts")), EEXIST);
  EXPECT_EQ(read("copy/sub/0.ts"), "segment");
  expectPosixError(files_.copyItemAtPath(path("missing"), path("elsewhere")), ENOENT);
}

TEST_F(FileManagerTest, RemovesFoldersRecursivelyAndReportsMissingItems) {
  ASSERT_TRUE(files_.createDirectoryAtPath(path("Documents/7/1_@2_3"), IntermediateDirectories::kYes).ok());
  write("Documents/7/1_@2_3/index.m3u8", "playlist");

  EXPECT_TRUE(files_.removeItemAtPath(path("Documents/7/1_@2_3")).ok());
  EXPECT_FALSE(files_.fileExistsAtPath(path("Documents/7/1_@2_3")));
  EXPECT_TRUE(files_.isDirectoryAtPath(path("Documents/7")));
  expectPosixError(files_.removeItemAtPath(path("Documents/7/1_@2_3")), ENOENT);
}

}  // namespace
}  // namespace ns
