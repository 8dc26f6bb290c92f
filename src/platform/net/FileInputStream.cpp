#include "platform/net/FileInputStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/foundation/storage/PosixError.h"

namespace ns {

FileInputStream::~FileInputStream() {
  close();
}

void FileInputStream::open() {
  if (streamStatus() != StreamStatus::kNotOpen) {
    return;
  }
  fileDescriptor_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fileDescriptor_ < 0) {
    failWith(posixError(errno, path_));
    return;
  }
  setStatus(StreamStatus::kOpen);
}

void FileInputStream::close() {
  if (fileDescriptor_ >= 0) {
    ::close(fileDescriptor_);
    fileDescriptor_ = -1;
  }
  if (streamStatus() != StreamStatus::kError) {
    setStatus(StreamStatus::kClosed);
  }
}

std::ptrdiff_t FileInputStream::read(std::uint8_t* buffer, std::size_t maxLength) {
  ssize_t count = 0;
  do {
    count = ::read(fileDescriptor_, buffer, maxLength);
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    failWith(posixError(errno, path_));
    return -1;
  }
  if (count == 0 && maxLength > 0) {
    setStatus(StreamStatus::kAtEnd);
  }
  return count;
}

bool FileInputStream::hasBytesAvailable() const {
  return streamStatus() == StreamStatus::kOpen;
}

}  // namespace ns
