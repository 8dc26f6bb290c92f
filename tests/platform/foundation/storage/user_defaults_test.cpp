#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/UserDefaults.h"
#include "platform/foundation/storage/bundle_test_util.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace ns {
namespace {

class UserDefaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testutil::createBundleFolder(bundlePath_, Dictionary{{"CFBundleIdentifier", "org.example.learner"}});
    sandbox_.simulateRestart();
  }

  UserDefaults& defaults() { return UserDefaults::standardUserDefaults(); }

  testutil::TemporarySandbox sandbox_;
  const std::string bundlePath_ = sandbox_.path("bundle");
  testutil::ScopedMainBundle mainBundle_{bundlePath_};
  FileManager& files_ = FileManager::defaultManager();
  const std::string preferences_ = sandbox_.path("Library/Preferences");
};

// No synchronize(): every change reaches the disk at once, atomically, in a file named after the bundle.
TEST_F(UserDefaultsTest, TypedValuesSurviveARestartAndGettersConvertAsThePlatformDoes) {
  const Date created(1700000000.5);
  defaults().setObject("4f0d", "USERSID");
  defaults().setObject(42, "count");
  defaults().setObject(true, "UserOnlyWifiPlay");
  defaults().setObject(2.5, "ratio");
  defaults().setObject(0.1f, "ZCoinAmount");
  defaults().setObject(Dictionary{{"remark", "frozen"}, {"level", 2}}, "ZCoinMark");
  defaults().setObject(Array{"a", 1}, "list");
  defaults().setObject(Data{1, 2, 3}, "blob");
  defaults().setObject(created, "createdTS");

  sandbox_.simulateRestart();

  EXPECT_EQ(*files_.contentsOfDirectoryAtPath(preferences_),
            std::vector<std::string>{"org.example.learner.plist"});
  EXPECT_EQ(defaults().stringForKey("USERSID"), "4f0d");
  EXPECT_EQ(defaults().integerForKey("count"), 42);
  EXPECT_TRUE(defaults().boolForKey("UserOnlyWifiPlay"));
  EXPECT_EQ(defaults().doubleForKey("ratio"), 2.5);
  EXPECT_EQ(defaults().floatForKey("ZCoinAmount"), 0.1f);
  EXPECT_EQ(defaults().doubleForKey("ZCoinAmount"), static_cast<double>(0.1f)) << "kept as a 32-bit float";
  EXPECT_EQ(defaults().dictionaryForKey("ZCoinMark"), (Dictionary{{"remark", "frozen"}, {"level", 2}}));
  EXPECT_EQ(defaults().arrayForKey("list"), (Array{"a", 1}));
  EXPECT_EQ(defaults().dataForKey("blob"), (Data{1, 2, 3}));
  EXPECT_EQ(defaults().objectForKey("createdTS"), Value(created));
  // Getters convert as the platform's do; missing keys and other kinds read as nothing.
  EXPECT_EQ(defaults().integerForKey("USERSID"), 4);
  EXPECT_EQ(defaults().stringForKey("count"), "42");
  EXPECT_EQ(defaults().stringForKey("list"), std::nullopt);
  EXPECT_EQ(defaults().dictionaryForKey("USERSID"), std::nullopt);
  EXPECT_EQ(defaults().integerForKey("list"), 0);
  EXPECT_EQ(defaults().objectForKey("missing"), std::nullopt);
  EXPECT_EQ(defaults().floatForKey("missing"), 0.0f);
  EXPECT_FALSE(defaults().boolForKey("missing"));
}

TEST_F(UserDefaultsTest, NullRemovesTheKeyAndNestedNullsAreDropped) {
  defaults().setObject("4f0d", "USERSID");
  defaults().setObject(Value(), "USERSID");
  defaults().setObject(Dictionary{{"remark", Value()}, {"level", 2}, {"list", Array{1, Value(), 3}}},
                       "ZCoinMark");
  defaults().setObject("x", "other");
  defaults().removeObjectForKey("other");

  sandbox_.simulateRestart();

  EXPECT_EQ(defaults().objectForKey("USERSID"), std::nullopt);
  EXPECT_EQ(defaults().objectForKey("other"), std::nullopt);
  EXPECT_EQ(defaults().dictionaryForKey("ZCoinMark"), (Dictionary{{"level", 2}, {"list", Array{1, 3}}}));
}

TEST_F(UserDefaultsTest, DamagedFileGivesEmptyDefaultsThatCanBeWrittenAgain) {
  ASSERT_TRUE(files_.createDirectoryAtPath(preferences_, IntermediateDirectories::kYes).ok());
  ASSERT_TRUE(files_
                  .createFileAtPath(preferences_ + "/org.example.learner.plist",
                                    dataFromString("bplist00 not really"))
                  .ok());
  sandbox_.simulateRestart();

  EXPECT_EQ(defaults().objectForKey("USERSID"), std::nullopt);
  defaults().setObject("4f0d", "USERSID");
  sandbox_.simulateRestart();
  EXPECT_EQ(defaults().stringForKey("USERSID"), "4f0d");
}

TEST_F(UserDefaultsTest, FailedWriteIsReportedBySynchronizeAndRetried) {
  defaults().setObject("before", "state");
  ASSERT_TRUE(files_.removeItemAtPath(preferences_).ok());
  ASSERT_TRUE(files_.createFileAtPath(preferences_, Data{}).ok());

  defaults().setObject("after", "state");
  Status failed = defaults().synchronize();
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().code(), ENOTDIR);
  EXPECT_EQ(defaults().stringForKey("state"), "after");

  ASSERT_TRUE(files_.removeItemAtPath(preferences_).ok());
  ASSERT_TRUE(files_.createDirectoryAtPath(preferences_, IntermediateDirectories::kNo).ok());
  EXPECT_TRUE(defaults().synchronize().ok());
  sandbox_.simulateRestart();
  EXPECT_EQ(defaults().stringForKey("state"), "after");
}

}  // namespace
}  // namespace ns
