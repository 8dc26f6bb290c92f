#include "platform/foundation/storage/Bundle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/foundation/storage/ExecutablePath.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/bundle_test_util.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace ns {
namespace {

std::string infoString(const Bundle& bundle, std::string_view key) {
  const Value* value = bundle.objectForInfoDictionaryKey(key);
  return value != nullptr ? value->stringValue() : "<none>";
}

TEST(BundleTest, MainBundleIsTheResourcesFolderBesideTheProgram) {
  const std::shared_ptr<const Bundle> bundle = Bundle::mainBundle();

  EXPECT_EQ(bundle->resourcePath(),
            (std::filesystem::path(executablePath()).parent_path() / "resources").string());
  EXPECT_EQ(infoString(*bundle, "CFBundleShortVersionString"), "1.0.0");
  EXPECT_EQ(infoString(*bundle, "CFBundleIdentifier"), "com.quillmark.app");
  EXPECT_EQ(infoString(*bundle, "CFBundleName"), "Quillmark");
  EXPECT_EQ(bundle->objectForInfoDictionaryKey("NoSuchKey"), nullptr);
}

class OwnBundleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testutil::createBundleFolder(bundlePath_, Dictionary{{"CFBundleShortVersionString", "2.3.4"}});
    ASSERT_TRUE(files_.createFileAtPath(bundlePath_ + "/K.bin", Data{1, 2, 3}).ok());
    ASSERT_TRUE(files_.createFileAtPath(bundlePath_ + "/README", Data{}).ok());
  }

  testutil::TemporarySandbox sandbox_;
  const std::string bundlePath_ = sandbox_.path("bundle");
  FileManager& files_ = FileManager::defaultManager();
};

TEST_F(OwnBundleTest, TestHookReplacesTheMainBundleAndHoldersKeepTheirs) {
  const std::shared_ptr<const Bundle> before = Bundle::mainBundle();
  {
    testutil::ScopedMainBundle mainBundle(bundlePath_);
    EXPECT_EQ(infoString(*Bundle::mainBundle(), "CFBundleShortVersionString"), "2.3.4");
  }
  EXPECT_EQ(Bundle::mainBundle()->resourcePath(), before->resourcePath());
}

TEST_F(OwnBundleTest, EnvironmentVariableNamesTheResourcesFolder) {
  ::setenv("QUILLMARK_RESOURCES", bundlePath_.c_str(), 1);
  Bundle::setMainBundleResourcePathForTesting(std::nullopt);

  const std::shared_ptr<const Bundle> bundle = Bundle::mainBundle();

  ::unsetenv("QUILLMARK_RESOURCES");
  Bundle::setMainBundleResourcePathForTesting(std::nullopt);
  EXPECT_EQ(bundle->resourcePath(), bundlePath_);
}

TEST_F(OwnBundleTest, FindsResourcesByNameAndType) {
  const Bundle bundle(bundlePath_);

  EXPECT_EQ(bundle.pathForResource("K", "bin"), bundlePath_ + "/K.bin");
  EXPECT_EQ(bundle.pathForResource("README", ""), bundlePath_ + "/README");
  EXPECT_EQ(bundle.pathForResource("StoreProduct", "plist"), std::nullopt);
  EXPECT_EQ(bundle.pathForResource("K", "txt"), std::nullopt);
}

TEST_F(OwnBundleTest, NamesNeverReachOutsideTheFolder) {
  ASSERT_TRUE(files_.createFileAtPath(sandbox_.path("secret.txt"), Data{}).ok());
  const Bundle bundle(bundlePath_);

  EXPECT_EQ(bundle.pathForResource("../secret", "txt"), std::nullopt);
  EXPECT_EQ(bundle.pathForResource("secret", "txt/../../secret.txt"), std::nullopt);
  EXPECT_EQ(bundle.pathForResource("..", ""), std::nullopt);
  EXPECT_EQ(bundle.pathForResource("", ""), std::nullopt);
}

TEST_F(OwnBundleTest, FolderWithoutInfoHasNoInfoButStillFindsResources) {
  ASSERT_TRUE(files_.removeItemAtPath(bundlePath_ + "/Info.plist").ok());
  const Bundle bundle(bundlePath_);

  EXPECT_EQ(bundle.objectForInfoDictionaryKey("CFBundleShortVersionString"), nullptr);
  EXPECT_TRUE(bundle.pathForResource("K", "bin").has_value());
}

}  // namespace
}  // namespace ns
