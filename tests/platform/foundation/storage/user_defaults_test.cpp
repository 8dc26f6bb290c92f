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

  std::string defaultsFile() const { return sandbox_.path("Library/Preferences/org.example.learner.plist"); }

  testutil::TemporarySandbox sandbox_;
  const std::string bundlePath_ = sandbox_.path("bundle");
  testutil::ScopedMainBundle mainBundle_{bundlePath_};
  FileManager& files_ = FileManager::defaultManager();
};

TEST_F(UserDefaultsTest, TypedValuesSurviveARestart) {
  const Date created(1700000000.5);
  defaults().setObject("4f0d", "USERSID");
  defaults().setObject(42, "count");
  defaults().setObject(true, "UserOnlyWifiPlay");
  defaults().setObject(2.5, "ratio");
  defaults().setObject(Dictionary{{"remark", "frozen"}, {"level", 2}}, "ZCoinMark");
  defaults().setObject(Array{"a", 1}, "list");
  defaults().setObject(Data{1, 2, 3}, "blob");
  defaults().setObject(created, "createdTS");
  ASSERT_TRUE(defaults().synchronize().ok());

  sandbox_.simulateRestart();

  EXPECT_EQ(defaults().stringForKey("USERSID"), "4f0d");
  EXPECT_EQ(defaults().integerForKey("count"), 42);
  EXPECT_TRUE(defaults().boolForKey("UserOnlyWifiPlay"));
  EXPECT_EQ(defaults().doubleForKey("ratio"), 2.5);
  EXPECT_EQ(defaults().dictionaryForKey("ZCoinMark"), (Dictionary{{"remark", "frozen"}, {"level", 2}}));
  EXPECT_EQ(defaults().arrayForKey("list"), (Array{"a", 1}));
  EXPECT_EQ(defaults().dataForKey("blob"), (Data{1, 2, 3}));
  EXPECT_EQ(defaults().objectForKey("createdTS"), Value(created));
}

TEST_F(UserDefaultsTest, ChangesReachTheDiskWithoutAnExplicitSynchronize) {
  defaults().setObject("7", "USERID");

  sandbox_.simulateRestart();

  EXPECT_EQ(defaults().stringForKey("USERID"), "7");
}

TEST_F(UserDefaultsTest, GettersConvertAsThePlatformDoesAndMissingKeysReadAsNothing) {
  defaults().setObject("42abc", "text");
  defaults().setObject(7, "number");
  defaults().setObject(true, "flag");
  defaults().setObject(Array{}, "list");

  EXPECT_EQ(defaults().integerForKey("text"), 42);
  EXPECT_EQ(defaults().stringForKey("number"), "7");
  EXPECT_EQ(defaults().stringForKey("flag"), "1");
  EXPECT_EQ(defaults().stringForKey("list"), std::nullopt);
  EXPECT_EQ(defaults().dictionaryForKey("text"), std::nullopt);
  EXPECT_EQ(defaults().arrayForKey("text"), std::nullopt);
  EXPECT_EQ(defaults().integerForKey("list"), 0);
  defaults().setObject("YES", "text");
  EXPECT_TRUE(defaults().boolForKey("text"));

  EXPECT_EQ(defaults().objectForKey("missing"), std::nullopt);
  EXPECT_EQ(defaults().stringForKey("missing"), std::nullopt);
  EXPECT_EQ(defaults().floatForKey("missing"), 0.0f);
  EXPECT_FALSE(defaults().boolForKey("UserOnlyWifiDown"));
}

TEST_F(UserDefaultsTest, FloatKeepsItsThirtyTwoBitPrecisionThroughARestart) {
  defaults().setObject(0.1f, "ZCoinAmount");

  sandbox_.simulateRestart();

  EXPECT_EQ(defaults().floatForKey("ZCoinAmount"), 0.1f);
  EXPECT_EQ(defaults().doubleForKey("ZCoinAmount"), static_cast<double>(0.1f));
  EXPECT_NE(defaults().doubleForKey("ZCoinAmount"), 0.1);
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
  ASSERT_TRUE(
      files_.createDirectoryAtPath(sandbox_.path("Library/Preferences"), IntermediateDirectories::kYes).ok());
  ASSERT_TRUE(files_.createFileAtPath(defaultsFile(), dataFromString("bplist00 not really")).ok());
  sandbox_.simulateRestart();

  EXPECT_EQ(defaults().objectForKey("USERSID"), std::nullopt);
  defaults().setObject("4f0d", "USERSID");
  sandbox_.simulateRestart();
  EXPECT_EQ(defaults().stringForKey("USERSID"), "4f0d");
}

TEST_F(UserDefaultsTest, FileIsWrittenAtomicallyUnderTheBundleIdentifier) {
  defaults().setObject("4f0d", "USERSID");
  defaults().setObject("7", "USERID");

  EXPECT_EQ(*files_.contentsOfDirectoryAtPath(sandbox_.path("Library/Preferences")),
            std::vector<std::string>{"org.example.learner.plist"});
}

TEST_F(UserDefaultsTest, FailedWriteIsReportedBySynchronizeAndRetried) {
  defaults().setObject("before", "state");
  const std::string preferences = sandbox_.path("Library/Preferences");
  ASSERT_TRUE(files_.removeItemAtPath(preferences).ok());
  ASSERT_TRUE(files_.createFileAtPath(preferences, Data{}).ok());

  defaults().setObject("after", "state");
  Status failed = defaults().synchronize();
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().code(), ENOTDIR);
  EXPECT_EQ(defaults().stringForKey("state"), "after");

  ASSERT_TRUE(files_.removeItemAtPath(preferences).ok());
  ASSERT_TRUE(files_.createDirectoryAtPath(preferences, IntermediateDirectories::kNo).ok());
  EXPECT_TRUE(defaults().synchronize().ok());
  sandbox_.simulateRestart();
  EXPECT_EQ(defaults().stringForKey("state"), "after");
}

}  // namespace
}  // namespace ns
