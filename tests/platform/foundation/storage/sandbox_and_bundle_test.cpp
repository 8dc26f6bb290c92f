#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/ExecutablePath.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/foundation/storage/bundle_test_util.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace ns {
namespace {

// Sets (or, given std::nullopt, clears) an environment variable for the object's life.
class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* previous = std::getenv(name)) {
      previous_ = previous;
    }
    apply(value);
  }
  ~ScopedEnvironmentVariable() { apply(previous_); }

 private:
  void apply(const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name_, value->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

  const char* name_;
  std::optional<std::string> previous_;
};

TEST(SandboxTest, FoldersAreCreatedOnDemandInsideTheHome) {
  testutil::TemporarySandbox sandbox;
  FileManager& files = FileManager::defaultManager();
  EXPECT_EQ(Sandbox::homeDirectory(), sandbox.home());
  EXPECT_FALSE(files.fileExistsAtPath(sandbox.path("Documents")));

  const std::pair<std::string (*)(), const char*> folders[] = {
      {&Sandbox::documentsDirectory, "Documents"},
      {&Sandbox::preferencesDirectory, "Library/Preferences"},
      {&Sandbox::cachesDirectory, "Library/Caches"},
      {&Sandbox::temporaryDirectory, "tmp"},
      {&Sandbox::pasteboardsDirectory, "Pasteboards"}};
  for (const auto& [folder, name] : folders) {
    EXPECT_EQ(folder(), sandbox.home() + "/" + name);
    EXPECT_TRUE(files.isDirectoryAtPath(sandbox.path(name))) << name;
  }
}

TEST(SandboxTest, HomeComesFromTheSetterThenTheEnvironment) {
  ScopedEnvironmentVariable home("HOME", "/home/learner");
  ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", std::nullopt);
  ScopedEnvironmentVariable quillmarkHome("QUILLMARK_HOME", std::nullopt);
  Sandbox::setHomeDirectory(std::nullopt);
  EXPECT_EQ(Sandbox::homeDirectory(), "/home/learner/.local/share/quillmark");

  {
    ScopedEnvironmentVariable dataHomeSet("XDG_DATA_HOME", "/data");
    EXPECT_EQ(Sandbox::homeDirectory(), "/data/quillmark");
    ScopedEnvironmentVariable quillmarkHomeSet("QUILLMARK_HOME", "/srv/quillmark-home");
    EXPECT_EQ(Sandbox::homeDirectory(), "/srv/quillmark-home");
    Sandbox::setHomeDirectory("/chosen/by/flag");
    EXPECT_EQ(Sandbox::homeDirectory(), "/chosen/by/flag");
    Sandbox::setHomeDirectory(std::nullopt);
  }
  ScopedEnvironmentVariable emptyDataHome("XDG_DATA_HOME", "");
  EXPECT_EQ(Sandbox::homeDirectory(), "/home/learner/.local/share/quillmark")
      << "an empty variable counts as unset";
}

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

// The test hook comes before the environment variable; a holder keeps the bundle it was given.
TEST_F(OwnBundleTest, TestHookThenTheEnvironmentVariableNameTheMainBundle) {
  const std::shared_ptr<const Bundle> before = Bundle::mainBundle();
  {
    ScopedEnvironmentVariable resources("QUILLMARK_RESOURCES", "/no/such/folder");
    {
      testutil::ScopedMainBundle mainBundle(bundlePath_);
      EXPECT_EQ(infoString(*Bundle::mainBundle(), "CFBundleShortVersionString"), "2.3.4");
    }
    EXPECT_EQ(Bundle::mainBundle()->resourcePath(), "/no/such/folder");
  }
  Bundle::setMainBundleResourcePathForTesting(std::nullopt);
  EXPECT_EQ(Bundle::mainBundle()->resourcePath(), before->resourcePath());
  EXPECT_EQ(infoString(*before, "CFBundleShortVersionString"), "1.0.0");
}

TEST_F(OwnBundleTest, FindsResourcesByNameAndTypeEvenWithoutInfo) {
  ASSERT_TRUE(files_.removeItemAtPath(bundlePath_ + "/Info.plist").ok());
  const Bundle bundle(bundlePath_);

  EXPECT_EQ(bundle.objectForInfoDictionaryKey("CFBundleShortVersionString"), nullptr);
  EXPECT_EQ(bundle.pathForResource("K", "bin"), bundlePath_ + "/K.bin");
  EXPECT_EQ(bundle.pathForResource("README", ""), bundlePath_ + "/README");
  EXPECT_EQ(bundle.pathForResource("K", "txt"), std::nullopt);
}

TEST_F(OwnBundleTest, NamesNeverReachOutsideTheFolder) {
  ASSERT_TRUE(files_.createFileAtPath(sandbox_.path("secret.txt"), Data{}).ok());
  const Bundle bundle(bundlePath_);

  for (const auto& [name, type] :
       {std::pair{"../secret", "txt"}, {"secret", "txt/../../secret.txt"}, {"..", ""}, {"", ""}}) {
    EXPECT_EQ(bundle.pathForResource(name, type), std::nullopt) << name << "." << type;
  }
}

}  // namespace
}  // namespace ns
