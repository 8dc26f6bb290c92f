#pragma once

// ns::DateFormatter: writes dates as text and reads them back by a fixed pattern in the platform's date
// pattern syntax ("yyyy.MM.dd HH:mm", "yyyy-MM-dd HH:mm:ss"), in the Gregorian calendar with ASCII digits
// and English names whatever the user's locale, so stored and exchanged texts always read the same.
// Reading is strict: a text parses only when the pattern accounts for all of it and every field is in
// range; "2024.02.30 10:00" gives no date rather than a date in March.
//
// Not thread-safe: a formatter belongs to one thread at a time.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/check/OneThreadAtATimeChecker.h"
#include "platform/foundation/values/Date.h"

namespace ns {

class DateFormatter {
 public:
  enum class Zone {
    kLocal,  // the host's time zone when the formatter is made: the TZ environment variable, else the
             // system's
    kGMT,
  };

  // REQUIRES: `pattern` is a valid date pattern; a pattern that does not compile aborts the process (a
  // programming error: patterns are constants of the code).
  DateFormatter(std::string_view pattern, Zone zone);
  ~DateFormatter();
  DateFormatter(DateFormatter&&) noexcept;
  DateFormatter& operator=(DateFormatter&&) noexcept;

  // Returns `date` written by the pattern in the formatter's zone.
  std::string stringFromDate(Date date) const;

  // Returns the date that `text` denotes in the formatter's zone, or std::nullopt when it does not parse.
  // Fields the pattern lacks take their earliest value (no seconds in the pattern: second 0).
  std::optional<Date> dateFromString(std::string_view text) const;

 private:
  class Formatter;
  std::unique_ptr<Formatter> formatter_;
  OneThreadAtATimeChecker useChecker_;
};

}  // namespace ns
