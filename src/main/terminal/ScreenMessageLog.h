#pragma once

// ScreenMessageLog: the toasts, alerts and HUD texts the screen showed lately, each with the time it first
// appeared. A toast lasts a second or two, often less than a person takes to read it or a waitfor takes to
// give up, so the front end looks at the screen after every callback of the main loop while it waits and
// keeps what it saw here: the messages command lists it, and a waitfor that times out names what came
// and went meanwhile.
//
// A message counts once while it stays on screen; one that goes and comes back counts again. Only the last
// kMostEntries are kept.
//
// Thread-safety: not thread-safe; the front end uses it on the main thread.

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace terminal {

class ScreenMessageLog {
 public:
  static constexpr std::size_t kMostEntries = 20;

  using Clock = std::chrono::system_clock;

  struct Entry {
    Clock::time_point shownAt;
    // The screen line: "toast: ...", "alert: ...", or "loading: ...", or a line noted.
    std::string line;
    bool noted = false;
  };

  // Notes the messages in `screenText` (ScreenRenderer.h) that were not on screen at the last look.
  void observe(const std::string& screenText, Clock::time_point now);
  // Notes `line`, a message that was never on screen (a failed request).
  void note(std::string line, Clock::time_point now);
  // Whether a line noted (not seen on screen) among the kept entries holds `text`: the terminal printed it,
  // so a person waiting for it has seen it.
  bool notedLineHolds(std::string_view text) const;

  // The entries noted at or after `since`, oldest first.
  std::vector<Entry> entriesSince(Clock::time_point since) const;

  // One line per entry: the local time of day to the millisecond, then the message. Empty for no entries.
  static std::string describe(const std::vector<Entry>& entries);

 private:
  void dropOldest();

  std::deque<Entry> entries_;
  // The messages on screen at the last look.
  std::vector<std::string> onScreen_;
};

}  // namespace terminal
