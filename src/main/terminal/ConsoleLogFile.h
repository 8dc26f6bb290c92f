#pragma once

// ConsoleLogFile: the application's console lines kept in a file instead of on the screen, where they would
// mix with the screen text. Once the file would grow past kRotationSize it becomes "<path>.1" (replacing the
// one before) and a new file starts, so that at most two files of a few MiB are kept. With echo on (the
// --verbose flag), each line goes to standard error as well.
//
// A line that cannot be written is dropped; the session goes on without it.
//
// Thread-safety: write() may be called from any thread; each line is written whole.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/foundation/check/Mutex.h"

namespace terminal {

class ConsoleLogFile {
 public:
  static constexpr std::size_t kRotationSize = std::size_t{4} << 20;

  // Appends to the file at `path`, made when missing; `echo` also sends each line to standard error.
  ConsoleLogFile(std::string path, bool echo);
  ~ConsoleLogFile();
  ConsoleLogFile(const ConsoleLogFile&) = delete;
  ConsoleLogFile& operator=(const ConsoleLogFile&) = delete;

  // Writes `line` and a line end.
  void write(std::string_view line);

 private:
  // Opens the file for appending, as the path names it now.
  void open() QM_REQUIRES(mutex_);

  // Constant after construction
  const std::string path_;
  const bool echo_;

  ns::Mutex mutex_;
  int descriptor_ QM_GUARDED_BY(mutex_) = -1;
  std::size_t size_ QM_GUARDED_BY(mutex_) = 0;
};

}  // namespace terminal
