#include "platform/net/MemoryOutputStream.h"

#include "platform/net/URLError.h"

namespace ns {

void MemoryOutputStream::open() {
  if (streamStatus() == StreamStatus::kNotOpen) {
    setStatus(StreamStatus::kOpen);
  }
}

void MemoryOutputStream::close() {
  if (streamStatus() != StreamStatus::kError) {
    setStatus(StreamStatus::kClosed);
  }
}

std::ptrdiff_t MemoryOutputStream::write(const std::uint8_t* bytes, std::size_t length) {
  if (length > maximumLength_ - data_.size()) {
    failWith(makeURLError(kURLErrorDataLengthExceedsMaximum, std::nullopt));
    return -1;
  }
  data_.insert(data_.end(), bytes, bytes + length);
  return static_cast<std::ptrdiff_t>(length);
}

bool MemoryOutputStream::discardWrittenBytes() {
  data_.clear();
  return true;
}

bool MemoryOutputStream::hasSpaceAvailable() const {
  return streamStatus() == StreamStatus::kOpen;
}

}  // namespace ns
