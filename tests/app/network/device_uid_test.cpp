#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "app/network/DeviceUID.h"
#include "platform/foundation/storage/KeyedArchiver.h"
#include "platform/foundation/storage/KeyedUnarchiver.h"
#include "platform/foundation/storage/Pasteboard.h"
#include "platform/foundation/storage/UserDefaults.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "support/process_reset.h"

namespace app {

namespace {

constexpr char kPasteboardType[] = "org.DeviceUID";

std::string slotName(int slot) {
  return "org.DeviceUID.slot." + std::to_string(slot);
}

// The identifier the slot holds (null when it holds none), or std::nullopt when the slot does not exist.
std::optional<ns::Value> slotIdentifier(int slot) {
  std::shared_ptr<ns::Pasteboard> pasteboard =
      ns::Pasteboard::withName(slotName(slot), ns::Pasteboard::Create::kNo);
  if (!pasteboard) {
    return std::nullopt;
  }
  const ns::Dictionary contents = ns::KeyedUnarchiver::unarchiveObjectWithData(
      pasteboard->dataForPasteboardType(kPasteboardType).value());
  return contents.contains("DeviceUID") ? contents.at("DeviceUID") : ns::Value();
}

// Puts `data` on the slot, as another application would.
void writeSlotData(int slot, const ns::Data& data) {
  std::shared_ptr<ns::Pasteboard> pasteboard =
      ns::Pasteboard::withName(slotName(slot), ns::Pasteboard::Create::kYes);
  ASSERT_TRUE(pasteboard->setPersistent(true).ok());
  ASSERT_TRUE(pasteboard->setData(data, kPasteboardType).ok());
}

void writeSlot(int slot, const std::string& identifier) {
  ns::Result<ns::Data> archive = ns::KeyedArchiver::archivedDataWithRootObject(
      {{"DeviceUID", ns::Value(identifier)}, {"DeviceUID_appUID", ns::Value("OTHER-APP")}});
  ASSERT_TRUE(archive.ok());
  writeSlotData(slot, *archive);
}

class DeviceUIDTest : public ::testing::Test {
 protected:
  DeviceUIDTest() { restart(); }
  ~DeviceUIDTest() override { restart(); }

  void restart() { testsupport::resetForTesting(); }

  ns::Dictionary storedDictionary() {
    return ns::UserDefaults::standardUserDefaults().dictionaryForKey("DeviceUID").value_or(ns::Dictionary());
  }

  ns::testutil::TemporarySandbox sandbox_;
};

TEST_F(DeviceUIDTest, TheFirstStartMakesAnIdentifierAndKeepsItInDefaultsAndTheFirstSlot) {
  DeviceUID::Lookup first = DeviceUID::valueWithError();
  EXPECT_TRUE(std::regex_match(first.identifier, std::regex("[0-9a-f]{40}")));
  EXPECT_EQ(first.outcome.domain(), "org.DeviceUID");
  EXPECT_EQ(first.outcome.code(), DeviceUID::kRetrieved);
  EXPECT_EQ(first.outcome.userInfo().at("description"), ns::Value("DeviceUID succesfully retrieved"));
  DeviceUID::Lookup cached = DeviceUID::valueWithError();
  EXPECT_EQ(cached.identifier, first.identifier);
  EXPECT_EQ(cached.outcome.userInfo().at("description"), ns::Value("DeviceUID in cache from first call"));
  const ns::Dictionary stored = storedDictionary();
  EXPECT_EQ(stored.at("DeviceUID"), ns::Value(first.identifier));
  EXPECT_EQ(stored.at("DeviceUID_slot"), ns::Value(slotName(0)));
  EXPECT_TRUE(stored.at("DeviceUID_createdTS").isDate());
  EXPECT_TRUE(stored.at("DeviceUID_appUID").isString());
  EXPECT_EQ(stored.count("DeviceUID_optOutTS"), 0u);
  EXPECT_EQ(slotIdentifier(0), ns::Value(first.identifier));
  EXPECT_EQ(slotIdentifier(1), std::nullopt);
}

TEST_F(DeviceUIDTest, ALaterStartReadsTheSameIdentifierWritesNoSlotAndOverrulesDisagreeingSlots) {
  const std::string identifier = DeviceUID::value();
  restart();
  EXPECT_EQ(DeviceUID::valueWithError().identifier, identifier);
  EXPECT_EQ(DeviceUID::valueWithError().outcome.code(), DeviceUID::kRetrieved);
  // Its fresh application id matches no slot, and its own slot 0 is not the first free one.
  EXPECT_EQ(slotIdentifier(1), std::nullopt);
  EXPECT_EQ(storedDictionary().at("DeviceUID_slot"), ns::Value(slotName(0)));

  // Slots that disagree with user defaults give way to them.
  writeSlot(1, std::string(40, 'c'));
  writeSlot(2, std::string(40, 'c'));
  restart();
  const DeviceUID::Lookup lookup = DeviceUID::valueWithError();
  EXPECT_EQ(lookup.identifier, identifier);
  EXPECT_EQ(lookup.outcome.code(), DeviceUID::kDiscrepancy);
}

TEST_F(DeviceUIDTest, AnEmptiedOwnSlotIsWrittenAgainWhenItIsTheFirstFree) {
  const std::string identifier = DeviceUID::value();
  writeSlotData(0, {});
  restart();
  EXPECT_EQ(DeviceUID::value(), identifier);
  EXPECT_EQ(slotIdentifier(0), ns::Value(identifier));
}

TEST_F(DeviceUIDTest, WithoutDefaultsTheIdentifierMostSlotsHoldIsTaken) {
  writeSlot(0, std::string(40, 'a'));
  writeSlot(1, std::string(40, 'b'));
  writeSlot(3, std::string(40, 'b'));
  restart();
  EXPECT_EQ(DeviceUID::value(), std::string(40, 'b'));
  EXPECT_EQ(slotIdentifier(2), ns::Value(std::string(40, 'b'))) << "slot 2 was the first free one";
  EXPECT_EQ(storedDictionary().at("DeviceUID_slot"), ns::Value(slotName(2)));
}

TEST_F(DeviceUIDTest, UnreadableSlotsCountAsEmpty) {
  writeSlotData(0, ns::dataFromString("not an archive"));
  restart();
  const std::string identifier = DeviceUID::value();
  EXPECT_EQ(identifier.size(), 40u);
  EXPECT_EQ(slotIdentifier(0), ns::Value(identifier));
}

TEST_F(DeviceUIDTest, OptingOutHidesTheIdentifierUntilOptingIn) {
  const std::string identifier = DeviceUID::value();
  DeviceUID::setOptOut(true);
  DeviceUID::Lookup optedOut = DeviceUID::valueWithError();
  EXPECT_EQ(optedOut.identifier, std::string(40, '0'));
  EXPECT_EQ(optedOut.outcome.code(), DeviceUID::kOptedOut);
  EXPECT_NE(
      optedOut.outcome.userInfo().at("description").asString().find("is opted-out from DeviceUID as of"),
      std::string::npos);
  restart();
  EXPECT_EQ(DeviceUID::value(), std::string(40, '0'));
  DeviceUID::setOptOut(false);
  EXPECT_EQ(DeviceUID::value(), identifier);
  EXPECT_EQ(storedDictionary().count("DeviceUID_optOutTS"), 0u);
}

}  // namespace

}  // namespace app
