#include "platform/net/DataInputStream.h"

#include <algorithm>
#include <cstring>

namespace ns {

void DataInputStream::open() {
  if (streamStatus() == StreamStatus::kNotOpen) {
    setStatus(data_.empty() ? StreamStatus::kAtEnd : StreamStatus::kOpen);
  }
}

void DataInputStream::close() {
  if (streamStatus() != StreamStatus::kError) {
    setStatus(StreamStatus::kClosed);
  }
}

std::ptrdiff_t DataInputStream::read(std::uint8_t* buffer, std::size_t maxLength) {
  const std::size_t count = std::min(maxLength, data_.size() - position_);
  std::memcpy(buffer, data_.data() + position_, count);
  position_ += count;
  if (position_ == data_.size()) {
    setStatus(StreamStatus::kAtEnd);
  }
  return static_cast<std::ptrdiff_t>(count);
}

bool DataInputStream::hasBytesAvailable() const {
  return streamStatus() == StreamStatus::kOpen;
}

}  // namespace ns
