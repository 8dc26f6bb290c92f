#include "platform/net/FileOutputStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/foundation/storage/PosixError.h"

namespace ns {

FileOutputStream::~FileOutputStream() {
  close();
}

void FileOutputStream::open() {
  if (streamStatus() != StreamStatus::kNotOpen) {
    return;
  }
  const int modeFlags = mode_ == FileMode::kAppend ? O_APPEND : O_TRUNC;
  fileDescriptor_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | modeFlags, 0644);
  if (fileDescriptor_ < 0) {
    failWith(posixError(errno, path_));
    return;
  }
  setStatus(StreamStatus::kOpen);
}

void FileOutputStream::close() {
  if (fileDescriptor_ >= 0) {
    ::close(fileDescriptor_);
    fileDescriptor_ = -1;
  }
  if (streamStatus() != StreamStatus::kError) {
    setStatus(StreamStatus::kClosed);
  }
}

std::ptrdiff_t FileOutputStream::write(const std::uint8_t* bytes, std::size_t length) {
  ssize_t count = 0;
  do {
    count = ::write(fileDescriptor_, bytes, length);
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    failWith(posixError(errno, path_));
    return -1;
  }
  return count;
}

bool FileOutputStream::hasSpaceAvailable() const {
  return streamStatus() == StreamStatus::kOpen;
}

bool FileOutputStream::discardWrittenBytes() {
  return fileDescriptor_ >= 0 && ::ftruncate(fileDescriptor_, 0) == 0 &&
         ::lseek(fileDescriptor_, 0, SEEK_SET) == 0;
}

std::optional<std::uint64_t> FileOutputStream::fileCurrentOffset() const {
  if (fileDescriptor_ < 0) {
    return std::nullopt;
  }
  const off_t offset = ::lseek(fileDescriptor_, 0, SEEK_CUR);
  if (offset < 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(offset);
}

}  // namespace ns
