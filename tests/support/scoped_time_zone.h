#pragma once

// testsupport::ScopedTimeZone: sets the process's time zone (the TZ environment variable) for the life of
// the object and puts the one before back when it ends. Date formatters read the zone when they are made.
// Thread-safety: while no other thread reads the environment or the zone.

#include <time.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace testsupport {

class ScopedTimeZone {
 public:
  // `zone` as TZ takes it, for example "Asia/Shanghai".
  explicit ScopedTimeZone(const std::string& zone) {
    if (const char* previous = std::getenv("TZ")) {
      previous_ = previous;
    }
    setenv("TZ", zone.c_str(), 1);
    tzset();
  }
  ~ScopedTimeZone() {
    previous_ ? setenv("TZ", previous_->c_str(), 1) : unsetenv("TZ");
    tzset();
  }

  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> previous_;
};

}  // namespace testsupport
