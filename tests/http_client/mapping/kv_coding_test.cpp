#include <gtest/gtest.h>

#include "http_client/mapping/KVCoding.h"
#include "http_client/mapping/KVObjectClass.h"
#include "kv_test_models.h"
#include "platform/foundation/storage/KeyedArchiver.h"
#include "platform/foundation/storage/KeyedUnarchiver.h"

namespace http_client {
namespace {

TEST(KVCodingTest, AModelComesBackFromItsArchive) {
  kvtest::Scalars original;
  original.count = 5;
  original.text = "archived";
  original.link = ns::URL::fromString("http://example.com/a");
  original.address = std::make_shared<kvtest::Address>();
  original.address->city = "Wuxi";
  ns::Dictionary coder;
  ASSERT_TRUE(kv_encode(original, coder).ok());
  const ns::Result<ns::Data> archive = ns::KeyedArchiver::archivedDataWithRootObject(coder);
  ASSERT_TRUE(archive.ok());

  kvtest::Scalars decoded;
  decoded.ratio = 1.5;
  ASSERT_TRUE(kv_decode(decoded, ns::KeyedUnarchiver::unarchiveObjectWithData(*archive)).ok());
  EXPECT_EQ(decoded.count, 5);
  EXPECT_EQ(decoded.text, "archived");
  EXPECT_EQ(decoded.link->absoluteString(), "http://example.com/a");
  ASSERT_NE(decoded.address, nullptr);
  EXPECT_EQ(decoded.address->city, "Wuxi");
  EXPECT_EQ(decoded.ratio, 0) << "every archived property is assigned";
}

TEST(KVCodingTest, AnArchiveOfAnotherClassFillsNothing) {
  kvtest::Person person;
  person.name = "Wu";
  ns::Dictionary coder;
  ASSERT_TRUE(kv_encode(person, coder).ok());

  kvtest::Student student;
  student.name = "unchanged";
  const ns::Status status = kv_decode(student, coder);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(student.name, "unchanged");

  kvtest::Address address;
  EXPECT_FALSE(kv_decode(address, ns::Dictionary{{"city", "no class recorded"}}).ok());
  EXPECT_EQ(address.city, "");
}

TEST(KVCodingTest, UnderscoredNamesAndTheCodingListsAreHonoured) {
  KVClass& cls = kvClassOf<kvtest::Person>();
  kv_setupIgnoredCodingPropertyNames(cls, [] { return KVNameList{"age"}; });
  kvtest::Person person;
  person.name = "Zheng";
  person.age = 40;
  ns::Dictionary coder;
  ASSERT_TRUE(kv_encode(person, coder).ok());
  kvtest::Person decoded;
  const ns::Status status =
      kv_decode(decoded, ns::Dictionary{{"$class", "KVTestPerson"}, {"_name", "Feng"}, {"age", 41}});
  kv_setupIgnoredCodingPropertyNames(cls, nullptr);
  EXPECT_FALSE(coder.contains("age"));
  EXPECT_EQ(coder.at("name"), ns::Value("Zheng"));
  ASSERT_TRUE(status.ok());
  EXPECT_EQ(decoded.name, "Feng");
  EXPECT_EQ(decoded.age, 0);
}

}  // namespace
}  // namespace http_client
