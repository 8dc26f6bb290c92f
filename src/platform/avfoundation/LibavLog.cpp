#include "platform/avfoundation/LibavLog.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/foundation/check/Mutex.h"

namespace av {

namespace {

constexpr int kLineCapacity = 1024;

// The last line written, so that a burst of the same report prints once.
class RepeatFilter {
 public:
  // Writes `line` (ending in a line feed) unless it repeats the last one.
  void write(const std::string& line) {
    ns::MutexLock lock(mutex_);
    if (line == last_) {
      ++repeats_;
      return;
    }
    if (repeats_ > 0) {
      std::fprintf(stderr, "FFmpeg: the last line repeated %d more times\n", repeats_);
      repeats_ = 0;
    }
    std::fprintf(stderr, "FFmpeg: %s", line.c_str());
    last_ = line;
  }

 private:
  ns::Mutex mutex_;
  std::string last_ QM_GUARDED_BY(mutex_);
  int repeats_ QM_GUARDED_BY(mutex_) = 0;
};

RepeatFilter& repeatFilter() {
  static RepeatFilter filter;
  return filter;
}

// FFmpeg's log callback. A message may come in pieces that end a line only at the last, so each thread
// gathers its pieces until the line feed.
void writeLine(void* context, int level, const char* format, va_list arguments) {
  if (level > av_log_get_level()) {
    return;
  }
  thread_local std::string pending;
  thread_local int printPrefix = 1;
  char piece[kLineCapacity];
  va_list copy;
  va_copy(copy, arguments);
  av_log_format_line2(context, level, format, copy, piece, sizeof piece, &printPrefix);
  va_end(copy);
  pending += piece;
  if (pending.empty() || pending.back() != '\n') {
    return;
  }
  repeatFilter().write(pending);
  pending.clear();
}

std::once_flag installed;

}  // namespace

void LibavLog::install() {
  std::call_once(installed, [] {
    av_log_set_level(kLevel);
    av_log_set_callback(&writeLine);
  });
}

void LibavLog::silence() {
  install();
  av_log_set_level(AV_LOG_QUIET);
}

}  // namespace av
