#include "platform/foundation/storage/Pasteboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace ns {
namespace {

constexpr std::string_view kSlot = "org.DeviceUID.slot.3";
constexpr std::string_view kType = "org.DeviceUID";

class PasteboardTest : public ::testing::Test {
 protected:
  static std::shared_ptr<Pasteboard> open(std::string_view name) {
    return Pasteboard::withName(name, Pasteboard::Create::kNo);
  }
  static std::shared_ptr<Pasteboard> create(std::string_view name) {
    return Pasteboard::withName(name, Pasteboard::Create::kYes);
  }
  std::vector<std::string> pasteboardFiles() const {
    return *FileManager::defaultManager().contentsOfDirectoryAtPath(sandbox_.path("Pasteboards"));
  }

  testutil::TemporarySandbox sandbox_;
};

TEST_F(PasteboardTest, OpeningWithoutCreatingFindsNothingNewAndSettingDataReplacesTheContents) {
  EXPECT_EQ(open(kSlot), nullptr);
  const std::shared_ptr<Pasteboard> created = create(kSlot);
  ASSERT_NE(created, nullptr);
  EXPECT_FALSE(created->isPersistent());
  EXPECT_EQ(open(kSlot), created);

  ASSERT_TRUE(created->setData(Data{1}, "first.type").ok());
  ASSERT_TRUE(created->setData(Data{2}, kType).ok());
  EXPECT_EQ(created->dataForPasteboardType("first.type"), std::nullopt);
  EXPECT_EQ(created->dataForPasteboardType(kType), Data{2});
}

// Data set before and after becoming persistent both reach the file; a pasteboard no longer persistent, or
// never so, ends with the process and leaves no file.
TEST_F(PasteboardTest, PersistentPasteboardSurvivesARestart) {
  const std::shared_ptr<Pasteboard> pasteboard = create(kSlot);
  ASSERT_TRUE(pasteboard->setPersistent(true).ok());
  ASSERT_TRUE(pasteboard->setData(Data{1, 2, 3}, kType).ok());
  ASSERT_TRUE(create("early")->setData(Data{9}, kType).ok());
  ASSERT_TRUE(open("early")->setPersistent(true).ok());
  ASSERT_TRUE(create("scratch")->setData(Data{1}, kType).ok());
  ASSERT_TRUE(create("unpinned")->setPersistent(true).ok());
  ASSERT_TRUE(open("unpinned")->setPersistent(false).ok());
  EXPECT_EQ(pasteboardFiles().size(), 2u);

  sandbox_.simulateRestart();

  const std::shared_ptr<Pasteboard> reopened = open(kSlot);
  ASSERT_NE(reopened, nullptr);
  EXPECT_NE(reopened, pasteboard);
  EXPECT_TRUE(reopened->isPersistent());
  EXPECT_EQ(reopened->dataForPasteboardType(kType), (Data{1, 2, 3}));
  ASSERT_NE(open("early"), nullptr);
  EXPECT_EQ(open("early")->dataForPasteboardType(kType), Data{9});
  EXPECT_EQ(open("scratch"), nullptr);
  EXPECT_EQ(open("unpinned"), nullptr);
}

TEST_F(PasteboardTest, AnyNameIsStoredInsideThePasteboardsFolder) {
  for (const char* name : {"../escape", "..", "a/b", "name with spaces"}) {
    ASSERT_TRUE(create(name)->setPersistent(true).ok()) << name;
  }

  EXPECT_EQ(pasteboardFiles().size(), 4u);
  EXPECT_FALSE(FileManager::defaultManager().fileExistsAtPath(sandbox_.path("escape.pasteboard")));
  sandbox_.simulateRestart();
  EXPECT_NE(open("../escape"), nullptr);
  EXPECT_EQ(open("escape"), nullptr);
}

TEST_F(PasteboardTest, DamagedFileReadsAsAnEmptyPersistentPasteboard) {
  ASSERT_TRUE(create(kSlot)->setPersistent(true).ok());
  const std::string file = sandbox_.path("Pasteboards/" + pasteboardFiles().front());
  ASSERT_TRUE(FileManager::defaultManager().createFileAtPath(file, dataFromString("garbage")).ok());

  sandbox_.simulateRestart();

  const std::shared_ptr<Pasteboard> reopened = open(kSlot);
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->dataForPasteboardType(kType), std::nullopt);
}

}  // namespace
}  // namespace ns
