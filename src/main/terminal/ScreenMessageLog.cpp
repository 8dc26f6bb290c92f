#include "main/terminal/ScreenMessageLog.h"

#include <algorithm>
#include <ctime>
#include <iomanip>
#include <sstream>
#include <string_view>

namespace terminal {

namespace {

constexpr std::string_view kMessagePrefixes[] = {"toast: ", "alert: ", "loading: "};

bool isMessage(std::string_view line) {
  return std::any_of(std::begin(kMessagePrefixes), std::end(kMessagePrefixes),
                     [line](std::string_view prefix) { return line.starts_with(prefix); });
}

std::vector<std::string> messagesIn(const std::string& screenText) {
  std::vector<std::string> messages;
  std::istringstream lines(screenText);
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start != std::string::npos && isMessage(std::string_view(line).substr(start))) {
      messages.push_back(line.substr(start));
    }
  }
  return messages;
}

}  // namespace

void ScreenMessageLog::observe(const std::string& screenText, Clock::time_point now) {
  std::vector<std::string> messages = messagesIn(screenText);
  for (const std::string& message : messages) {
    if (std::find(onScreen_.begin(), onScreen_.end(), message) == onScreen_.end()) {
      entries_.push_back({now, message, false});
    }
  }
  onScreen_ = std::move(messages);
  dropOldest();
}

void ScreenMessageLog::note(std::string line, Clock::time_point now) {
  entries_.push_back({now, std::move(line), true});
  dropOldest();
}

bool ScreenMessageLog::notedLineHolds(std::string_view text) const {
  return std::any_of(entries_.begin(), entries_.end(), [text](const Entry& entry) {
    return entry.noted && entry.line.find(text) != std::string::npos;
  });
}

void ScreenMessageLog::dropOldest() {
  while (entries_.size() > kMostEntries) {
    entries_.pop_front();
  }
}

std::vector<ScreenMessageLog::Entry> ScreenMessageLog::entriesSince(Clock::time_point since) const {
  std::vector<Entry> entries;
  std::copy_if(entries_.begin(), entries_.end(), std::back_inserter(entries),
               [since](const Entry& entry) { return entry.shownAt >= since; });
  return entries;
}

std::string ScreenMessageLog::describe(const std::vector<Entry>& entries) {
  std::ostringstream text;
  for (const Entry& entry : entries) {
    const std::time_t seconds = Clock::to_time_t(entry.shownAt);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(entry.shownAt.time_since_epoch()).count() %
        1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    text << std::put_time(&local, "%H:%M:%S") << '.' << std::setw(3) << std::setfill('0') << milliseconds
         << "  " << entry.line << '\n';
  }
  return text.str();
}

}  // namespace terminal
