#include "platform/foundation/storage/SendFile.h"

#include <sys/sendfile.h>

#include <cerrno>

#include "platform/foundation/storage/PosixError.h"

namespace ns {

Result<std::size_t> sendFile(int socketDescriptor, int fileDescriptor, std::uint64_t offset,
                             std::size_t count) {
  auto position = static_cast<off_t>(offset);
  ssize_t sent;
  do {
    sent = ::sendfile(socketDescriptor, fileDescriptor, &position, count);
  } while (sent < 0 && errno == EINTR);
  if (sent < 0) {
    return posixError(errno, "");
  }
  return static_cast<std::size_t>(sent);
}

}  // namespace ns
