#include "platform/foundation/loop/WakeSignal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace ns {
namespace {

int makeEventDescriptor() {
  const int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (fd < 0) {
    std::perror("RunLoop: eventfd");
    std::abort();
  }
  return fd;
}

}  // namespace

WakeSignal::WakeSignal() : fd_(makeEventDescriptor()) {}

WakeSignal::~WakeSignal() {
  ::close(fd_);
}

bool WakeSignal::claim() {
  return !raised_.exchange(true);
}

void WakeSignal::raise() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(fd_, &one, sizeof one);
}

void WakeSignal::clear() {
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t read = ::read(fd_, &count, sizeof count);
  raised_ = false;
}

}  // namespace ns
