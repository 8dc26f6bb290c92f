#include "platform/foundation/text/DateFormatter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace ns {
namespace {

constexpr std::string_view kLastPlayPattern = "yyyy.MM.dd HH:mm";
constexpr double k20240305At1430Gmt = 1709649000;

// Sets the TZ environment variable for the object's lifetime and puts the previous value back afterwards.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* previous = std::getenv("TZ")) {
      previous_ = previous;
    }
    setenv("TZ", zone, 1);
  }
  ~ScopedTimeZone() {
    if (previous_) {
      setenv("TZ", previous_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
  }

 private:
  std::optional<std::string> previous_;
};

TEST(DateFormatterTest, RoundTripsLastPlayTimesInGmt) {
  const DateFormatter gmt(kLastPlayPattern, DateFormatter::Zone::kGMT);
  EXPECT_EQ(gmt.stringFromDate(Date(0)), "1970.01.01 00:00");
  // Seconds below the minute are dropped on writing.
  EXPECT_EQ(gmt.stringFromDate(Date(k20240305At1430Gmt + 59.9)), "2024.03.05 14:30");
  EXPECT_EQ(gmt.dateFromString("2024.03.05 14:30"), Date(k20240305At1430Gmt));
  EXPECT_GT(gmt.dateFromString("2024.03.05 09:05"), gmt.dateFromString("2024.03.04 23:59"));
}

TEST(DateFormatterTest, LocalZoneIsTheTzEnvironmentWhenTheFormatterIsMade) {
  std::optional<DateFormatter> utc;
  {
    const ScopedTimeZone utcZone("UTC");
    utc.emplace(kLastPlayPattern, DateFormatter::Zone::kLocal);
  }
  const ScopedTimeZone shanghai("Asia/Shanghai");
  const DateFormatter local(kLastPlayPattern, DateFormatter::Zone::kLocal);
  EXPECT_EQ(local.stringFromDate(Date(k20240305At1430Gmt)), "2024.03.05 22:30");
  EXPECT_EQ(local.dateFromString("2024.03.05 22:30"), Date(k20240305At1430Gmt));
  EXPECT_EQ(utc->stringFromDate(Date(k20240305At1430Gmt)), "2024.03.05 14:30");
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
