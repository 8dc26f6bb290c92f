#include "platform/foundation/storage/Sandbox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace ns {
namespace {

// Sets or clears an environment variable for the life of a test and restores it afterwards.
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

  EXPECT_EQ(Sandbox::documentsDirectory(), sandbox.home() + "/Documents");
  EXPECT_EQ(Sandbox::preferencesDirectory(), sandbox.home() + "/Library/Preferences");
  EXPECT_EQ(Sandbox::cachesDirectory(), sandbox.home() + "/Library/Caches");
  EXPECT_EQ(Sandbox::temporaryDirectory(), sandbox.home() + "/tmp");
  EXPECT_EQ(Sandbox::pasteboardsDirectory(), sandbox.home() + "/Pasteboards");

  for (const char* folder : {"Documents", "Library/Preferences", "Library/Caches", "tmp", "Pasteboards"}) {
    EXPECT_TRUE(files.isDirectoryAtPath(sandbox.path(folder))) << folder;
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

}  // namespace
}  // namespace ns
