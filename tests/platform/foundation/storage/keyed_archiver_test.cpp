#include <gtest/gtest.h>

#include "platform/foundation/formats/PropertyListSerialization.h"
#include "platform/foundation/storage/KeyedArchiver.h"
#include "platform/foundation/storage/KeyedUnarchiver.h"

namespace ns {
namespace {

TEST(KeyedArchiverTest, DictionaryOfStringsAndDatesRoundTrips) {
  const Dictionary record{{"DeviceUID", "0123456789abcdef0123456789abcdef01234567"},
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
  Data truncated = *KeyedArchiver::archivedDataWithRootObject(Dictionary{{"DeviceUID", "abc"}});
  truncated.resize(truncated.size() / 2);
  const Data notArchives[] = {
      Data{},
      plist(Dictionary{{"DeviceUID", "x"}}),  // a plain property list
      plist(Dictionary{{"$archiver", "SomeoneElse"}, {"root", Dictionary{{"a", "b"}}}}),
      plist(Dictionary{{std::string(KeyedArchiver::kArchiverKey), KeyedArchiver::kArchiverName},
                       {std::string(KeyedArchiver::kRootKey), "not a dictionary"}}),
      truncated,
  };
  for (std::size_t i = 0; i < std::size(notArchives); ++i) {
    EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(notArchives[i]), Dictionary{}) << "case " << i;
  }
}

}  // namespace
}  // namespace ns
