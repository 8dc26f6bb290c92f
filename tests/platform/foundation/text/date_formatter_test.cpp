#include "platform/foundation/text/DateFormatter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace ns {
namespace {

constexpr std::string_view kLastPlayPattern = "yyyy.MM.dd HH:mm";
constexpr double k20240305At1430Gmt = 1709649000;

TEST(DateFormatterTest, RoundTripsLastPlayTimesInGmt) {
  const DateFormatter gmt(kLastPlayPattern, DateFormatter::Zone::kGMT);
  EXPECT_EQ(gmt.stringFromDate(Date(0)), "1970.01.01 00:00");
  // Seconds below the minute are dropped on writing.
  EXPECT_EQ(gmt.stringFromDate(Date(k20240305At1430Gmt + 59.9)), "2024.03.05 14:30");
  EXPECT_EQ(gmt.dateFromString("2024.03.05 14:30"), Date(k20240305At1430Gmt));
}

// TZ is put back before the checks: each formatter keeps the zone it was made with.
TEST(DateFormatterTest, LocalZoneIsTheTzEnvironmentWhenTheFormatterIsMade) {
  const char* previousZone = std::getenv("TZ");
  const std::optional<std::string> previous =
      previousZone ? std::optional<std::string>(previousZone) : std::nullopt;
  setenv("TZ", "UTC", 1);
  const DateFormatter utc(kLastPlayPattern, DateFormatter::Zone::kLocal);
  setenv("TZ", "Asia/Shanghai", 1);
  const DateFormatter shanghai(kLastPlayPattern, DateFormatter::Zone::kLocal);
  previous ? setenv("TZ", previous->c_str(), 1) : unsetenv("TZ");

  EXPECT_EQ(shanghai.stringFromDate(Date(k20240305At1430Gmt)), "2024.03.05 22:30");
  EXPECT_EQ(shanghai.dateFromString("2024.03.05 22:30"), Date(k20240305At1430Gmt));
  EXPECT_EQ(utc.stringFromDate(Date(k20240305At1430Gmt)), "2024.03.05 14:30");
}

TEST(DateFormatterTest, TextsThatDoNotFitThePatternGiveNoDate) {
  const DateFormatter gmt(kLastPlayPattern, DateFormatter::Zone::kGMT);
  for (const char* text : {"", "<null>", "2024-03-05 14:30", "2024.03.05", "2024.03.05 14:30 trailing",
                           "2024.02.30 10:00", "2024.13.01 10:00", "2024.03.05 24:30", "2024.03.05 14:60"}) {
    EXPECT_EQ(gmt.dateFromString(text), std::nullopt) << text;
  }
  EXPECT_TRUE(gmt.dateFromString("2024.02.29 10:00").has_value());
}

}  // namespace
}  // namespace ns
