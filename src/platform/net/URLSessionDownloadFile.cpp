#include "platform/net/URLSessionDownloadFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/PosixError.h"
#include "platform/foundation/storage/Sandbox.h"

namespace ns {

Result<std::unique_ptr<URLSessionDownloadFile>> URLSessionDownloadFile::create() {
  const std::string folder = Sandbox::temporaryDirectory();
  std::string pattern = folder + "/URLSessionDownload-XXXXXX.tmp";
  std::vector<char> path(pattern.begin(), pattern.end());
  path.push_back('\0');
  const int descriptor = mkostemps(path.data(), 4, O_CLOEXEC);
  if (descriptor < 0) {
    return posixError(errno, folder);
  }
  return std::unique_ptr<URLSessionDownloadFile>(
      new URLSessionDownloadFile(std::string(path.data()), descriptor));
}

Result<std::unique_ptr<URLSessionDownloadFile>> URLSessionDownloadFile::continuing(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (descriptor < 0) {
    return posixError(errno, path);
  }
  return std::unique_ptr<URLSessionDownloadFile>(new URLSessionDownloadFile(path, descriptor));
}

URLSessionDownloadFile::URLSessionDownloadFile(std::string path, int descriptor)
    : path_(std::move(path)), descriptor_(descriptor) {}

URLSessionDownloadFile::~URLSessionDownloadFile() {
  static_cast<void>(close());
  // Whatever the delegate left at the temporary path goes: the file was only lent to it.
  if (!kept_) {
    static_cast<void>(FileManager::defaultManager().removeItemAtPath(path_));
  }
}

Status URLSessionDownloadFile::append(const std::uint8_t* bytes, std::size_t length) {
  while (length > 0) {
    const ssize_t written = ::write(descriptor_, bytes, length);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return posixError(written < 0 ? errno : EIO, path_);
    }
    bytes += written;
    length -= static_cast<std::size_t>(written);
  }
  return {};
}

Status URLSessionDownloadFile::close() {
  // Forgotten first: after close() the descriptor is gone whatever it reports, even EINTR.
  const int descriptor = std::exchange(descriptor_, -1);
  if (descriptor >= 0 && ::close(descriptor) != 0 && errno != EINTR) {
    return posixError(errno, path_);
  }
  return {};
}

}  // namespace ns
