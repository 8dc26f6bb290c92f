#include <gtest/gtest.h>

#include "platform/foundation/formats/PropertyListSerialization.h"
#include "platform/foundation/storage/KeyedArchiver.h"
#include "platform/foundation/storage/KeyedUnarchiver.h"

namespace ns {
namespace {

TEST(KeyedArchiverTest, DictionaryOfStringsAndDatesRoundTrips) {
  const Dictionary record{{"DeviceUID", "0123456789abcdef0123456789abcdef01234567"},
                          {"DeviceUID_appUID", "E621E1F8-C36C-495A-93FC-0C247A3E6E5F"},
                          {"DeviceUID_createdTS", Date(1700000000.25)},
                          {"DeviceUID_slot", "org.DeviceUID.slot.0"}};

  Result<Data> archive = KeyedArchiver::archivedDataWithRootObject(record);

  ASSERT_TRUE(archive.ok());
  EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(*archive), record);
}

TEST(KeyedArchiverTest, ValueNoArchiveCanHoldIsAnError) {
  Result<Data> archive = KeyedArchiver::archivedDataWithRootObject(Dictionary{{"optOut", Value()}});

  ASSERT_FALSE(archive.ok());
  EXPECT_EQ(archive.error().code(), kPropertyListWriteInvalidError);
}

TEST(KeyedArchiverTest, AnythingButAnArchiveOfADictionaryReadsAsEmpty) {
  const auto plist = [](const Value& value) {
    return *PropertyListSerialization::dataWithPropertyList(value, PropertyListFormat::kBinary);
  };
  const Dictionary empty;

  EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(Data{}), empty);
  EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(dataFromString("bplist00garbage")), empty);
  EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(plist(Dictionary{{"DeviceUID", "x"}})), empty)
      << "a plain property list is not an archive";
  EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(
                plist(Dictionary{{"$archiver", "SomeoneElse"}, {"root", Dictionary{{"a", "b"}}}})),
            empty);
  EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(
                plist(Dictionary{{std::string(KeyedArchiver::kArchiverKey), KeyedArchiver::kArchiverName},
                                 {std::string(KeyedArchiver::kRootKey), "not a dictionary"}})),
            empty);
  EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(plist(Array{"x"})), empty);
  Data truncated = *KeyedArchiver::archivedDataWithRootObject(Dictionary{{"DeviceUID", "abc"}});
  truncated.resize(truncated.size() / 2);
  EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(truncated), empty);
}

}  // namespace
}  // namespace ns
