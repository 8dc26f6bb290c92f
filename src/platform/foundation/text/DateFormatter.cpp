#include "platform/foundation/text/DateFormatter.h"

#include <unicode/parsepos.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <cstdio>
#include <cstdlib>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/text/IcuStrings.h"

namespace ns {
namespace {

constexpr double kMillisecondsPerSecond = 1000.0;

icu::TimeZone* createTimeZone(DateFormatter::Zone zone) {
  // detectHostTimeZone reads TZ and the system setting afresh each time; ICU's default zone would keep
  // whatever it found first for the rest of the process.
  return zone == DateFormatter::Zone::kLocal ? icu::TimeZone::detectHostTimeZone()
                                             : icu::TimeZone::getGMT()->clone();
}

}  // namespace

class DateFormatter::Formatter {
 public:
  Formatter(std::string_view pattern, Zone zone) {
    UErrorCode status = U_ZERO_ERROR;
    // en_US_POSIX fixes the calendar, digits and names, so texts do not change with the user's locale.
    format_ = std::make_unique<icu::SimpleDateFormat>(icuStringFromUtf8(pattern), icu::Locale("en_US_POSIX"),
                                                      status);
    if (U_FAILURE(status)) {
      std::fprintf(stderr, "DateFormatter: invalid date pattern \"%.*s\": %s\n",
                   static_cast<int>(pattern.size()), pattern.data(), u_errorName(status));
      std::abort();
    }
    format_->adoptTimeZone(createTimeZone(zone));
    format_->setLenient(false);
  }

  std::string stringFromDate(Date date) const {
    icu::UnicodeString text;
    format_->format(date.timeIntervalSince1970() * kMillisecondsPerSecond, text);
    return utf8FromIcuString(text);
  }

  std::optional<Date> dateFromString(std::string_view text) const {
    const icu::UnicodeString source = icuStringFromUtf8(text);
    icu::ParsePosition position(0);
    const UDate milliseconds = format_->parse(source, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != source.length()) {
      return std::nullopt;
    }
    return Date(milliseconds / kMillisecondsPerSecond);
  }

 private:
  std::unique_ptr<icu::SimpleDateFormat> format_;
};

DateFormatter::DateFormatter(std::string_view pattern, Zone zone)
    : formatter_(std::make_unique<Formatter>(pattern, zone)) {}

DateFormatter::~DateFormatter() = default;
DateFormatter::DateFormatter(DateFormatter&&) noexcept = default;
DateFormatter& DateFormatter::operator=(DateFormatter&&) noexcept = default;

std::string DateFormatter::stringFromDate(Date date) const {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  return formatter_->stringFromDate(date);
}

std::optional<Date> DateFormatter::dateFromString(std::string_view text) const {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  return formatter_->dateFromString(text);
}

}  // namespace ns
