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
  std::vector<std::string> pasteboardFiles() const {
    return *FileManager::defaultManager().contentsOfDirectoryAtPath(sandbox_.path("Pasteboards"));
  }

  testutil::TemporarySandbox sandbox_;
};

TEST_F(PasteboardTest, OpeningWithoutCreatingFindsNothingNew) {
  EXPECT_EQ(Pasteboard::withName(kSlot, Pasteboard::Create::kNo), nullptr);

  const std::shared_ptr<Pasteboard> created = Pasteboard::withName(kSlot, Pasteboard::Create::kYes);
  ASSERT_NE(created, nullptr);
  EXPECT_FALSE(created->isPersistent());
  EXPECT_EQ(created->dataForPasteboardType(kType), std::nullopt);
  EXPECT_EQ(Pasteboard::withName(kSlot, Pasteboard::Create::kNo), created);
}

TEST_F(PasteboardTest, PersistentPasteboardSurvivesARestart) {
  const std::shared_ptr<Pasteboard> pasteboard = Pasteboard::withName(kSlot, Pasteboard::Create::kYes);
  ASSERT_TRUE(pasteboard->setPersistent(true).ok());
  ASSERT_TRUE(pasteboard->setData(Data{1, 2, 3}, kType).ok());

  sandbox_.simulateRestart();

  const std::shared_ptr<Pasteboard> reopened = Pasteboard::withName(kSlot, Pasteboard::Create::kNo);
  ASSERT_NE(reopened, nullptr);
  EXPECT_NE(reopened, pasteboard);
  EXPECT_TRUE(reopened->isPersistent());
  EXPECT_EQ(reopened->dataForPasteboardType(kType), (Data{1, 2, 3}));
}

TEST_F(PasteboardTest, DataSetBeforeBecomingPersistentIsKept) {
  ASSERT_TRUE(Pasteboard::withName(kSlot, Pasteboard::Create::kYes)->setData(Data{9}, kType).ok());
  ASSERT_TRUE(Pasteboard::withName(kSlot, Pasteboard::Create::kNo)->setPersistent(true).ok());

  sandbox_.simulateRestart();

  EXPECT_EQ(Pasteboard::withName(kSlot, Pasteboard::Create::kNo)->dataForPasteboardType(kType), Data{9});
}

TEST_F(PasteboardTest, PasteboardThatIsNotPersistentEndsWithTheProcess) {
  ASSERT_TRUE(Pasteboard::withName("scratch", Pasteboard::Create::kYes)->setData(Data{1}, kType).ok());
  const std::shared_ptr<Pasteboard> unpinned = Pasteboard::withName(kSlot, Pasteboard::Create::kYes);
  ASSERT_TRUE(unpinned->setPersistent(true).ok());
  ASSERT_TRUE(unpinned->setPersistent(false).ok());
  EXPECT_TRUE(pasteboardFiles().empty());

  sandbox_.simulateRestart();

  EXPECT_EQ(Pasteboard::withName("scratch", Pasteboard::Create::kNo), nullptr);
  EXPECT_EQ(Pasteboard::withName(kSlot, Pasteboard::Create::kNo), nullptr);
}

TEST_F(PasteboardTest, SettingDataReplacesWhatThePasteboardHeld) {
  const std::shared_ptr<Pasteboard> pasteboard = Pasteboard::withName(kSlot, Pasteboard::Create::kYes);
  ASSERT_TRUE(pasteboard->setData(Data{1}, "first.type").ok());
  ASSERT_TRUE(pasteboard->setData(Data{2}, kType).ok());

  EXPECT_EQ(pasteboard->dataForPasteboardType("first.type"), std::nullopt);
  EXPECT_EQ(pasteboard->dataForPasteboardType(kType), Data{2});
}

TEST_F(PasteboardTest, AnyNameIsStoredInsideThePasteboardsFolder) {
  for (const char* name : {"../escape", "..", "a/b", "name with spaces"}) {
    ASSERT_TRUE(Pasteboard::withName(name, Pasteboard::Create::kYes)->setPersistent(true).ok()) << name;
  }

  EXPECT_EQ(pasteboardFiles().size(), 4u);
  EXPECT_FALSE(FileManager::defaultManager().fileExistsAtPath(sandbox_.path("escape.pasteboard")));
  sandbox_.simulateRestart();
  EXPECT_NE(Pasteboard::withName("../escape", Pasteboard::Create::kNo), nullptr);
  EXPECT_EQ(Pasteboard::withName("escape", Pasteboard::Create::kNo), nullptr);
}

TEST_F(PasteboardTest, DamagedFileReadsAsAnEmptyPersistentPasteboard) {
  ASSERT_TRUE(Pasteboard::withName(kSlot, Pasteboard::Create::kYes)->setPersistent(true).ok());
  const std::string file = sandbox_.path("Pasteboards/" + pasteboardFiles().front());
  ASSERT_TRUE(FileManager::defaultManager().createFileAtPath(file, dataFromString("garbage")).ok());

  sandbox_.simulateRestart();

  const std::shared_ptr<Pasteboard> reopened = Pasteboard::withName(kSlot, Pasteboard::Create::kNo);
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->dataForPasteboardType(kType), std::nullopt);
}

}  // namespace
}  // namespace ns
