#include <gtest/gtest.h>

#include <string>

#include "main/terminal/ScreenMessageLog.h"

namespace terminal {

namespace {

using Clock = ScreenMessageLog::Clock;

TEST(ScreenMessageLogTest, NotesEachMessageOnceWhileItStaysAndAgainWhenItComesBack) {
  ScreenMessageLog log;
  const Clock::time_point start = Clock::now();
  const std::string withToast = "[QMUserLogController]\nbutton loginBtn: [登录]\n  toast: 密码错误\n";
  log.observe("[QMUserLogController]\nbutton loginBtn: [登录]\n", start);
  log.observe(withToast, start + std::chrono::seconds(1));
  log.observe(withToast, start + std::chrono::seconds(2));
  log.observe("[QMUserLogController]\nloading\n", start + std::chrono::seconds(3));
  log.observe(withToast + "alert: 提示 | 您的账号在另一台设备登录 | [确定]\n",
              start + std::chrono::seconds(4));

  const std::vector<ScreenMessageLog::Entry> all = log.entriesSince({});
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].line, "toast: 密码错误");
  EXPECT_EQ(all[0].shownAt, start + std::chrono::seconds(1));
  EXPECT_EQ(all[1].line, "toast: 密码错误");
  EXPECT_EQ(all[2].line, "alert: 提示 | 您的账号在另一台设备登录 | [确定]");
  EXPECT_EQ(log.entriesSince(start + std::chrono::seconds(4)).size(), 2u);

  const std::string described = ScreenMessageLog::describe(all);
  EXPECT_EQ(described.substr(2, 1) + described.substr(5, 1) + described.substr(8, 1), "::.") << described;
  EXPECT_NE(described.find("  toast: 密码错误\n"), std::string::npos) << described;
}

// A waitfor may wait for a failed request's line, which the terminal printed but the screen never showed.
TEST(ScreenMessageLogTest, ANotedLineHoldsItsTextAndAToastSeenOnScreenDoesNot) {
  ScreenMessageLog log;
  log.observe("[QMUserLogController]\n  toast: /app/latest_ver\n", Clock::now());
  EXPECT_FALSE(log.notedLineHolds("/app/latest_ver"));
  log.note("request failed: /app/latest_ver: NSURLErrorDomain -1009 offline", Clock::now());
  EXPECT_TRUE(log.notedLineHolds("/app/latest_ver"));
  EXPECT_FALSE(log.notedLineHolds("/common/baselogin"));
}

TEST(ScreenMessageLogTest, KeepsOnlyTheLastEntries) {
  ScreenMessageLog log;
  for (std::size_t i = 0; i < ScreenMessageLog::kMostEntries + 5; ++i) {
    log.observe("toast: " + std::to_string(i) + "\n", Clock::now());
  }
  const std::vector<ScreenMessageLog::Entry> kept = log.entriesSince({});
  ASSERT_EQ(kept.size(), ScreenMessageLog::kMostEntries);
  EXPECT_EQ(kept.front().line, "toast: 5");
}

}  // namespace

}  // namespace terminal
