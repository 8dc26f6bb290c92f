#include "main/terminal/ConsoleLogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace terminal {

ConsoleLogFile::ConsoleLogFile(std::string path, bool echo) : path_(std::move(path)), echo_(echo) {}

ConsoleLogFile::~ConsoleLogFile() {
  ns::MutexLock lock(mutex_);
  if (descriptor_ >= 0) {
    close(descriptor_);
  }
}

void ConsoleLogFile::write(std::string_view line) {
  std::string text(line);
  text += '\n';
  if (echo_) {
    std::fwrite(text.data(), 1, text.size(), stderr);
  }
  ns::MutexLock lock(mutex_);
  if (descriptor_ >= 0 && size_ > 0 && size_ + text.size() > kRotationSize) {
    close(descriptor_);
    descriptor_ = -1;
    std::rename(path_.c_str(), (path_ + ".1").c_str());
  }
  if (descriptor_ < 0) {
    open();
  }
  // One write with O_APPEND puts the line whole at the end.
  if (descriptor_ >= 0 && ::write(descriptor_, text.data(), text.size()) > 0) {
    size_ += text.size();
  }
}

void ConsoleLogFile::open() {
  descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  struct stat info {};
  size_ = descriptor_ >= 0 && fstat(descriptor_, &info) == 0 ? static_cast<std::size_t>(info.st_size) : 0;
}

}  // namespace terminal
