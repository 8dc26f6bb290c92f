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

  void makeFolder(const std::string& relativePath) {
    ASSERT_TRUE(files_.createDirectoryAtPath(path(relativePath), IntermediateDirectories::kYes).ok());
  }

  testutil::TemporarySandbox sandbox_;
  FileManager& files_ = FileManager::defaultManager();
};

template <typename Outcome>
Error errorOf(const Outcome& outcome) {
  return outcome.ok() ? Error("succeeded", 0) : outcome.error();
}

// Nothing is ever replaced: moving or copying onto an item, or making a folder where one is, fails.
TEST_F(FileManagerTest, FailuresCarryThePosixErrorOfTheFailedCall) {
  write("file", "keep me");
  write("other", "and me");
  makeFolder("folder");
  const std::pair<Error, int> failures[] = {
      {errorOf(files_.createDirectoryAtPath(path("folder"), IntermediateDirectories::kNo)), EEXIST},
      {errorOf(files_.createDirectoryAtPath(path("file"), IntermediateDirectories::kYes)), EEXIST},
      {errorOf(files_.createDirectoryAtPath(path("x/y"), IntermediateDirectories::kNo)), ENOENT},
      {errorOf(files_.createFileAtPath(path("missing/file"), Data{})), ENOENT},
      {errorOf(files_.moveItemAtPath(path("file"), path("other"))), EEXIST},
      {errorOf(files_.copyItemAtPath(path("file"), path("other"))), EEXIST},
      {errorOf(files_.moveItemAtPath(path("missing"), path("target"))), ENOENT},
      {errorOf(files_.copyItemAtPath(path("missing"), path("target"))), ENOENT},
      {errorOf(files_.removeItemAtPath(path("missing"))), ENOENT},
      {errorOf(files_.attributesOfItemAtPath(path("missing"))), ENOENT},
      {errorOf(files_.contentsOfDirectoryAtPath(path("missing"))), ENOENT},
      {errorOf(files_.contentsOfDirectoryAtPath(path("file"))), ENOTDIR},
  };
  for (std::size_t i = 0; i < std::size(failures); ++i) {
    EXPECT_EQ(failures[i].first.domain(), kPOSIXErrorDomain) << "case " << i;
    EXPECT_EQ(failures[i].first.code(), failures[i].second) << "case " << i;
  }
  EXPECT_EQ(read("file"), "keep me");
  EXPECT_EQ(read("other"), "and me");
  const Error missing = errorOf(files_.contentsAtPath(path("missing")));
  EXPECT_EQ(missing.code(), ENOENT);
  EXPECT_EQ(missing.userInfo().at(std::string(kFilePathErrorKey)), Value(path("missing")));
}

// The listing shows that no temporary file is left beside the written ones, and that names are in byte order.
TEST_F(FileManagerTest, AtomicWriteReplacesTheFileAndLeavesNoTemporaryFile) {
  write("index.m3u8", "first");
  write("index.m3u8", "second, longer than the first");
  const Data bytes{0, 1, 2, 255, 0};
  ASSERT_TRUE(files_.createFileAtPath(path("K.bin"), bytes).ok());
  makeFolder("c");

  EXPECT_EQ(read("index.m3u8"), "second, longer than the first");
  EXPECT_EQ(*files_.contentsAtPath(path("K.bin")), bytes);
  EXPECT_EQ(*files_.contentsOfDirectoryAtPath(path("")),
            (std::vector<std::string>{"K.bin", "c", "index.m3u8"}));

  Result<FileAttributes> attributes = files_.attributesOfItemAtPath(path("K.bin"));
  ASSERT_TRUE(attributes.ok());
  EXPECT_EQ(attributes->type, FileType::kRegular);
  EXPECT_EQ(attributes->size, 5u);
  EXPECT_LT(std::fabs(attributes->modificationDate.timeIntervalSinceDate(Date::now())), 600.0);
  EXPECT_EQ(files_.attributesOfItemAtPath(path("c"))->type, FileType::kDirectory);
}

TEST_F(FileManagerTest, MovesCopiesAndRemovesFoldersWithEverythingInThem) {
  makeFolder("lesson/sub");
  write("lesson/index.m3u8?token=1", "playlist");
  write("lesson/sub/0.ts", "segment");

  ASSERT_TRUE(files_.moveItemAtPath(path("lesson/index.m3u8?token=1"), path("lesson/index.m3u8")).ok());
  EXPECT_FALSE(files_.fileExistsAtPath(path("lesson/index.m3u8?token=1")));
  ASSERT_TRUE(files_.copyItemAtPath(path("lesson"), path("copy")).ok());
  EXPECT_EQ(read("copy/index.m3u8"), "playlist");
  EXPECT_EQ(read("copy/sub/0.ts"), "segment");

  EXPECT_TRUE(files_.removeItemAtPath(path("lesson/sub")).ok());
  EXPECT_FALSE(files_.fileExistsAtPath(path("lesson/sub")));
  EXPECT_EQ(read("lesson/index.m3u8"), "playlist");
  EXPECT_TRUE(files_.createDirectoryAtPath(path("lesson/sub"), IntermediateDirectories::kNo).ok());
  EXPECT_TRUE(files_.createDirectoryAtPath(path("lesson/sub"), IntermediateDirectories::kYes).ok());
}

}  // namespace
}  // namespace ns
