#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "http_client/mapping/KVKeyValueFiles.h"
#include "http_client/mapping/KVModel.h"
#include "kv_test_models.h"
#include "platform/foundation/storage/PropertyListFile.h"

namespace http_client {
namespace {

struct District {
  std::int64_t id = 0;
  std::string name;
  static constexpr const char* kvClassName = "KVTestDistrict";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(District, id), QM_KV_PROPERTY(District, name)};
  }
};

struct City {
  std::int64_t id = 0;
  std::string name;
  std::vector<std::shared_ptr<District>> sub;
  static constexpr const char* kvClassName = "KVTestCity";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(City, id), QM_KV_PROPERTY(City, name), QM_KV_PROPERTY(City, sub)};
  }
};

TEST(KVKeyValueFilesTest, TheBundlesCityListMapsToCitiesWithTheirDistricts) {
  KVClass& cls = kvClassOf<City>();
  const KVObject cities = kv_objectArrayWithFilename(cls, "citys.plist");
  ASSERT_NE(cities.objectArray(), nullptr);
  ASSERT_FALSE(cities.objectArray()->empty());
  const auto* beijing = static_cast<const City*>(cities.objectArray()->front().model()->object.get());
  EXPECT_EQ(beijing->id, 1);
  EXPECT_EQ(beijing->name, "北京市");
  ASSERT_FALSE(beijing->sub.empty());
  EXPECT_EQ(beijing->sub.front()->name, "东城区");
  EXPECT_FALSE(cls.kv_error().has_value());
}

TEST(KVKeyValueFilesTest, AFileHoldingADictionaryGivesOneModel) {
  const std::filesystem::path path = std::filesystem::path(testing::TempDir()) / "kv_person.plist";
  ASSERT_TRUE(
      ns::writePropertyListDictionary(ns::Dictionary{{"name", "Chen"}, {"age", 33}}, path.string()).ok());
  KVClass& cls = kvClassOf<kvtest::Person>();
  const std::optional<KVModelRef> person = kv_objectWithFile(cls, path.string());
  std::filesystem::remove(path);
  ASSERT_TRUE(person.has_value());
  EXPECT_EQ(static_cast<const kvtest::Person*>(person->object.get())->name, "Chen");
  EXPECT_EQ(static_cast<const kvtest::Person*>(person->object.get())->age, 33);
}

TEST(KVKeyValueFilesTest, MissingNamesPathsAndResourcesAreRecorded) {
  KVClass& cls = kvClassOf<kvtest::Person>();
  struct Case {
    const char* what;
    std::function<bool()> gaveNothing;
    const char* error;
  };
  const Case cases[] = {
      {"no file name", [&] { return !kv_objectWithFilename(cls, std::nullopt); }, "filename参数为nil"},
      {"no file name for an array", [&] { return kv_objectArrayWithFilename(cls, std::nullopt).isNone(); },
       "filename参数为nil"},
      {"no path", [&] { return !kv_objectWithFile(cls, std::nullopt); }, "file参数为nil"},
      {"no path for an array", [&] { return kv_objectArrayWithFile(cls, std::nullopt).isNone(); },
       "file参数为nil"},
      {"no such resource", [&] { return !kv_objectWithFilename(cls, "no-such.plist"); }, "file参数为nil"},
      {"an unreadable file", [&] { return !kv_objectWithFile(cls, "/no/such/file.plist"); },
       "keyValues参数不是一个字典"},
      {"an array where a dictionary is expected", [&] { return !kv_objectWithFilename(cls, "citys.plist"); },
       "keyValues参数不是一个字典"},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(c.gaveNothing()) << c.what;
    ASSERT_TRUE(cls.kv_error().has_value()) << c.what;
    EXPECT_EQ(cls.kv_error()->domain(), c.error) << c.what;
  }
}

}  // namespace
}  // namespace http_client
